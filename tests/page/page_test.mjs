// The page in Debian's Chromium, headless, opened from file://: each class file against the
// native boletim-turma's table, the columns picked on a four-bimester sheet, the workbook
// downloaded against the native one, generated dialogues against the native boletim, the
// refusals in the programs' words, no request leaving the page, and screenshots at a
// phone's width and a desktop's.
// Usage: node page_test.mjs PAGE BOLETIM BOLETIM_TURMA CLASSES_FOLDER OUTPUT_FOLDER SAME_WORKBOOK_PY
import { spawnSync } from 'node:child_process';
import { existsSync, mkdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const [page_, boletim, turma, classes, output, sameWorkbook] = process.argv.slice(2).map((file) => path.resolve(file));
let failures = 0;
function check(condition, what, details = '') {
  if (!condition) {
    failures += 1;
    console.error(`FALHOU: ${what}${details ? `\n${details}` : ''}`);
  }
}

function native(program, args, input, cwd = classes) {
  const run = spawnSync(program, args, { cwd, input, env: { ...process.env, LC_ALL: 'C.UTF-8' } });
  return { status: run.status, stdout: run.stdout, stderr: run.stderr.toString('utf8') };
}

// The native table as the page shows it: one array of cells a row, the header apart.
function csvRows(bytes) {
  const rows = [];
  let row = [];
  let field = '';
  let quoted = false;
  const text = bytes.toString('utf8').replace(/^\uFEFF/, '');
  for (let at = 0; at < text.length; ++at) {
    const character = text[at];
    if (quoted && character === '"' && text[at + 1] === '"') { field += '"'; ++at; } else if (character === '"') quoted = !quoted;
    else if (!quoted && character === ';') { row.push(field); field = ''; } else if (!quoted && character === '\n') { row.push(field.replace(/\r$/, '')); rows.push(row); row = []; field = ''; } else field += character;
  }
  return rows;
}

const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox', '--disable-dev-shm-usage'],
});
const tab = await browser.newPage();
const requests = [];
tab.on('request', (request) => requests.push(request.url()));
const pageErrors = [];
tab.on('pageerror', (error) => pageErrors.push(String(error)));
await tab.setViewport({ width: 1280, height: 900 });
await tab.goto(`file://${page_}`, { waitUntil: 'load' });

const shownRows = () => tab.$$eval('#turma tr', (rows) => rows.map((row) => [...row.cells].map((cell) => cell.textContent)));
async function loadClass(file) {
  await tab.$eval('#andamento', (status) => { status.textContent = ''; });
  const input = await tab.$('#arquivo');
  await input.uploadFile(path.resolve(classes, file));
  // What the page says while it works ends in an ellipsis.
  await tab.waitForFunction(() => /[^…]$/.test(document.getElementById('andamento').textContent), { timeout: 30000 });
  return tab.$eval('#andamento', (status) => status.textContent);
}

// Each class as the native program computes it, every cell of every row.
const classCases = [
  { file: 'libreoffice.xlsx', args: [] },
  { file: 'libreoffice.ods', args: [] },
  { file: 'libreoffice.csv', args: [] },
  { file: 'planilha_do_professor.csv', args: [] },
  { file: 'professor.ods', args: [] },
];
for (const { file, args } of classCases) {
  const status = await loadClass(file);
  const run = native(turma, [...args, file]);
  const expected = csvRows(run.stdout);
  const shown = await shownRows();
  // Every line the program writes to standard error, in the messages or the summary, and
  // its chart's counts as bars.
  const said = await tab.evaluate(() => ['mensagens', 'resumo'].map((id) => document.getElementById(id).innerText).join('\n'));
  const bar = /^ {2}([A-E]) +(\d+) /;
  const lines = run.stderr.split('\n').filter((line) => line !== '');
  const unsaid = lines.filter((line) => !bar.test(line) && !said.includes(line.replace(`${file}: `, '').replace(/^ +/, '')));
  check(unsaid.length === 0, `${file}: as mensagens e o resumo do programa`, unsaid.join('\n'));
  const bars = await tab.$$eval('#resumo dd', (values) => values.map((value) => value.textContent.trim()));
  const counts = lines.filter((line) => bar.test(line)).map((line) => bar.exec(line)[2]);
  check(counts.length > 0 && bars.join() === counts.join(), `${file}: o gráfico dos conceitos`, `${bars} / ${counts}`);
  check(status.includes('calculada'), `${file}: calculada`, status);
  check(JSON.stringify(shown) === JSON.stringify(expected), `${file}: a tabela da página é a do boletim-turma`,
    `página: ${JSON.stringify(shown.slice(0, 3))}\nprograma: ${JSON.stringify(expected.slice(0, 3))}`);
}
const errorRows = await tab.$$eval('#turma tr.erro', (rows) => rows.length);
check(errorRows === 2, 'professor.ods: as linhas com erro destacadas', `${errorRows}`);

// A four-bimester sheet: the page offers the columns, the teacher takes all four.
const picking = await loadClass('quatro_bimestres.csv');
check(picking.includes('colunas'), 'quatro_bimestres.csv: pede as colunas', picking);
const offered = await tab.$$eval('#colunas-lista input', (boxes) => boxes.map((box) => `${box.value}${box.checked ? '+' : ''}`));
check(offered.join(' ') === 'C+ D+ E+ F+ G H', 'quatro_bimestres.csv: as colunas oferecidas', offered.join(' '));
await tab.focus('#calcular');
await tab.keyboard.press('Enter');
await tab.waitForFunction(() => document.getElementById('andamento').textContent.includes('calculada'), { timeout: 30000 });
const fourExpected = csvRows(native(turma, ['-n', 'C,D,E,F', '--pesos', '1;1;1;1', 'quatro_bimestres.csv']).stdout);
check(JSON.stringify(await shownRows()) === JSON.stringify(fourExpected), 'quatro_bimestres.csv: a média dos quatro bimestres');

// The workbook, downloaded, against the one the native program writes.
const downloads = path.join(output, 'downloads');
rmSync(downloads, { recursive: true, force: true });
mkdirSync(downloads, { recursive: true });
const session = await tab.createCDPSession();
await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
await loadClass('professor.ods');
await tab.click('#baixar-xlsx');
const downloaded = path.join(downloads, 'professor-boletins.xlsx');
for (let waited = 0; waited < 300 && !existsSync(downloaded); ++waited) await new Promise((resolve) => setTimeout(resolve, 100));
native(turma, ['-o', path.join(output, 'native-professor-boletins.xlsx'), 'professor.ods']);
await tab.click('#baixar-csv');
const table = path.join(downloads, 'professor-boletins.csv');
for (let waited = 0; waited < 300 && !existsSync(table); ++waited) await new Promise((resolve) => setTimeout(resolve, 100));
check(existsSync(table) && readFileSync(table).equals(native(turma, ['professor.ods']).stdout), 'professor.ods: o CSV baixado é a tabela do boletim-turma');
const compared = spawnSync(process.env.PYTHON || 'python3', [sameWorkbook, downloaded, path.join(output, 'native-professor-boletins.xlsx')], { encoding: 'utf8' });
check(compared.status === 0, 'professor.ods: a planilha baixada é a do boletim-turma -o', compared.stdout + compared.stderr);

// Refusals in the program's own words: a damaged workbook, an old Excel file; and a file
// larger than the page reads, in the page's.
writeFileSync(path.join(output, 'antiga.xls'), Buffer.from([0xd0, 0xcf, 0x11, 0xe0, 0xa1, 0xb1, 0x1a, 0xe1, 0, 0, 0, 0]));
for (const file of [path.join(classes, 'planilha_truncada.xlsx'), path.join(output, 'antiga.xls')]) {
  await loadClass(file);
  const words = native(turma, [path.basename(file)], undefined, path.dirname(file)).stderr.trim();
  const shown = await tab.$eval('#mensagens', (list) => list.textContent);
  check(words.length > 0 && shown.includes(words), `${path.basename(file)}: recusada com as palavras do programa`, `página: ${shown}\nprograma: ${words}`);
}
writeFileSync(path.join(output, 'enorme.csv'), Buffer.alloc(65 * 1024 * 1024, 0x37));
check((await loadClass(path.join(output, 'enorme.csv'))).includes('até 64 MB'), 'um arquivo grande demais é recusado em palavras');
rmSync(path.join(output, 'enorme.csv'));

// Generated dialogues: identifications and grades as people type them, and some they should not.
const grades = ['0', '10', '7.5', '6', '5.9999', '9', '4', '3.25', '8.75', '-1', '11', '1e1', '0x1p3', 'abc', '7,5', '2.5e-1', '9.000001'];
const ids = ['2026001', 'Ana', 'José', 'a b', 'x'.repeat(40)];
let seed = 7;
const next = (count) => { seed = (seed * 1103515245 + 12345) % 2147483648; return seed % count; };
const dialogues = 300;
let differing = 0;
for (let dialogue = 0; dialogue < dialogues; ++dialogue) {
  const answers = [ids[next(ids.length)], grades[next(grades.length)], grades[next(grades.length)], grades[next(grades.length)]];
  for (const [field, value] of ['#identificacao', '#nota1', '#nota2', '#nota3'].map((id, index) => [id, answers[index]])) {
    await tab.$eval(field, (input, typed) => { input.value = typed; }, value);
  }
  await tab.$eval('#relatorio', (report) => { report.textContent = ''; });
  await tab.$eval('#aluno', (form) => form.requestSubmit());
  await tab.waitForFunction(() => document.getElementById('relatorio').textContent !== '', { timeout: 10000 });
  const shown = await tab.$eval('#relatorio', (report) => report.textContent);
  const run = native(boletim, [], Buffer.from(answers.join('\n') + '\n', 'latin1'));
  const out = run.stdout.toString('latin1');
  const prompt = 'Informe o valor da terceira nota: ';
  const expected = (out.includes(prompt) ? out.slice(out.lastIndexOf(prompt) + prompt.length).replace(/^\n+/, '') : out) + Buffer.from(run.stderr, 'utf8').toString('latin1');
  if (shown !== expected && differing++ < 3) check(false, `boletim: ${JSON.stringify(answers)}`, `página:\n${shown}\nprograma:\n${expected}`);
}
check(differing === 0, `boletim: ${differing} de ${dialogues} diálogos diferem`);

// Screenshots at a phone's width and a desktop's, with a class shown.
await loadClass('professor.ods');
for (const width of [360, 1280]) {
  await tab.setViewport({ width, height: 900 });
  await tab.screenshot({ path: path.join(output, `page-${width}.png`), fullPage: false });
  const overflow = await tab.evaluate(() => document.documentElement.scrollWidth - window.innerWidth);
  check(overflow <= 0, `${width} px: a página não passa da largura da tela`, `${overflow} px a mais`);
}

// Nothing leaves the page, and the page cannot make anything leave.
const outside = requests.filter((url) => !/^(file|blob|data):/.test(url));
check(outside.length === 0, 'nenhuma requisição sai da página', outside.join('\n'));
const blocked = await tab.evaluate(() => fetch('https://example.com/').then(() => false, () => true));
check(blocked, 'uma requisição feita pela página é bloqueada');
check(pageErrors.length === 0, 'nenhum erro de script', pageErrors.join('\n'));
await browser.close();
console.log(failures === 0 ? 'page: every check passed' : `page: ${failures} checks failed`);
process.exit(failures === 0 ? 0 : 1);
