// Times the page in headless Chromium on one class file: from choosing the file to the
// table's first page shown, and from the click to the workbook downloaded; best of three each.
// Usage: node page.mjs PAGE CLASS_FILE   (beside node_modules with puppeteer-core)
import { existsSync, mkdtempSync, rmSync } from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const [page, file] = process.argv.slice(2).map((name) => path.resolve(name));
const browser = await puppeteer.launch({ executablePath: process.env.CHROMIUM || '/usr/bin/chromium', headless: true, args: ['--no-sandbox', '--disable-dev-shm-usage'] });
const tab = await browser.newPage();
const downloads = mkdtempSync(path.join(os.tmpdir(), 'page-bench-'));
const session = await tab.createCDPSession();
await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
await tab.goto(`file://${page}`);
const workbook = path.join(downloads, `${path.parse(file).name}-boletins.xlsx`);
const best = { shown: Infinity, downloaded: Infinity };
for (let run = 0; run < 3; ++run) {
  await tab.$eval('#andamento', (status) => { status.textContent = ''; });
  let start = performance.now();
  await (await tab.$('#arquivo')).uploadFile(file);
  await tab.waitForFunction(() => document.getElementById('andamento').textContent.includes('calculada'), { timeout: 120000, polling: 10 });
  best.shown = Math.min(best.shown, performance.now() - start);
  rmSync(workbook, { force: true });
  start = performance.now();
  await tab.click('#baixar-xlsx');
  while (!existsSync(workbook)) await new Promise((resolve) => setTimeout(resolve, 10));
  best.downloaded = Math.min(best.downloaded, performance.now() - start);
  await tab.evaluate(() => { document.getElementById('arquivo').value = ''; });
}
const rows = await tab.$eval('#paginas', (pages) => (pages.hidden ? 'every row' : pages.textContent.replace(/\s+/g, ' ').trim()));
console.log(`table shown (${rows}) in ${(best.shown / 1000).toFixed(2)} s; workbook downloaded in ${(best.downloaded / 1000).toFixed(2)} s`);
await browser.close();
rmSync(downloads, { recursive: true, force: true });
