// The page in Debian's Chromium, headless, opened from file://: each class file against the
// native boletim-turma's table and messages, the columns picked on a four-bimester sheet,
// the downloads against the native outputs, refusals in the programs' words, generated
// dialogues against the native boletim, no request leaving the page, and screenshots at a
// phone's width and a desktop's.
// Usage: node page_test.mjs PAGE BOLETIM BOLETIM_TURMA CLASSES_FOLDER OUTPUT_FOLDER SAME_WORKBOOK_PY
import { spawnSync } from 'node:child_process';
import { readFileSync, rmSync, writeFileSync } from 'node:fs';
import path from 'node:path';
import { chromium } from 'playwright-core';

const [page, boletim, turma, classes, output, sameWorkbook] = process.argv.slice(2).map((file) => path.resolve(file));
let failures = 0;
function check(condition, what, details = '') {
  if (!condition) {
    failures += 1;
    console.error(`FALHOU: ${what}${details ? `\n${details}` : ''}`);
  }
}

function native(program, args, input, cwd = classes) {
  const run = spawnSync(program, args, { cwd, input, env: { ...process.env, LC_ALL: 'C.UTF-8' } });
  return { stdout: run.stdout, stderr: run.stderr.toString('utf8') };
}

// The native CSV table as rows of cells, quotes undone.
function csvRows(bytes) {
  const rows = [[]];
  const fields = /("(?:[^"]|"")*"|[^;\r\n]*)(;|\r?\n|$)/gy;
  const text = bytes.toString('utf8').replace(/^\uFEFF/, '');
  for (let found; fields.lastIndex < text.length && (found = fields.exec(text));) {
    rows[rows.length - 1].push(found[1].startsWith('"') ? found[1].slice(1, -1).replaceAll('""', '"') : found[1]);
    if (found[2] !== ';') rows.push([]);
  }
  return rows.filter((row) => row.length > 0);
}

const browser = await chromium.launch({ executablePath: process.env.CHROMIUM || '/usr/bin/chromium', args: ['--no-sandbox', '--disable-dev-shm-usage'] });
const tab = await browser.newPage({ viewport: { width: 1280, height: 900 } });
const requests = [];
tab.on('request', (request) => requests.push(request.url()));
const pageErrors = [];
tab.on('pageerror', (error) => pageErrors.push(String(error)));
await tab.goto(`file://${page}`);

const shownRows = () => tab.$$eval('#turma tr', (rows) => rows.map((row) => [...row.cells].map((cell) => cell.textContent)));
// Does what the teacher does, then waits for the page to finish: what it says while it
// works ends in an ellipsis.
async function settled(action) {
  await tab.$eval('#andamento', (status) => { status.textContent = ''; });
  await action();
  await tab.waitForFunction(() => /[^…]$/.test(document.getElementById('andamento').textContent));
  return tab.textContent('#andamento');
}
const loadClass = (file) => settled(async () => {
  const [chooser] = await Promise.all([tab.waitForEvent('filechooser'), tab.click('#arquivo')]);
  await chooser.setFiles(path.resolve(classes, file));
});
async function download(button, name) {
  const [file] = await Promise.all([tab.waitForEvent('download'), tab.click(button)]);
  check(file.suggestedFilename() === name, `${button}: o nome ${name}`, file.suggestedFilename());
  await file.saveAs(path.join(output, name));
  return path.join(output, name);
}

// Each class as the native program computes it: every cell of every row, every line of its
// standard error in the messages or the summary, and its chart's counts as bars.
for (const file of ['libreoffice.xlsx', 'libreoffice.ods', 'libreoffice.csv', 'planilha_do_professor.csv', 'professor.ods']) {
  const status = await loadClass(file);
  const run = native(turma, [file]);
  check(status.includes('calculada'), `${file}: calculada`, status);
  check(JSON.stringify(await shownRows()) === JSON.stringify(csvRows(run.stdout)), `${file}: a tabela da página é a do boletim-turma`);
  const said = await tab.evaluate(() => ['mensagens', 'resumo'].map((id) => document.getElementById(id).innerText).join('\n'));
  const bar = /^ {2}([A-E]) +(\d+)(?: |$)/;
  const lines = run.stderr.split('\n').filter((line) => line !== '');
  const unsaid = lines.filter((line) => !bar.test(line) && !said.includes(line.replace(`${file}: `, '').trimStart()));
  check(unsaid.length === 0, `${file}: as mensagens e o resumo do programa`, unsaid.join('\n'));
  const bars = await tab.$$eval('#resumo dd', (values) => values.map((value) => value.textContent.trim()));
  const counts = lines.filter((line) => bar.test(line)).map((line) => bar.exec(line)[2]);
  check(counts.length > 0 && bars.join() === counts.join(), `${file}: o gráfico dos conceitos`, `${bars} / ${counts}`);
}
check((await tab.$$('#turma tr.erro')).length === 2, 'professor.ods: as linhas com erro destacadas');

// Both downloads of the last class, against what the native program writes.
const workbook = await download('#baixar-xlsx', 'professor-boletins.xlsx');
native(turma, ['-o', path.join(output, 'native.xlsx'), 'professor.ods']);
const compared = spawnSync(process.env.PYTHON || 'python3', [sameWorkbook, workbook, path.join(output, 'native.xlsx')], { encoding: 'utf8' });
check(compared.status === 0, 'professor.ods: a planilha baixada é a do boletim-turma -o', compared.stdout + compared.stderr);
const table = await download('#baixar-csv', 'professor-boletins.csv');
check(readFileSync(table).equals(native(turma, ['professor.ods']).stdout), 'professor.ods: o CSV baixado é a tabela do boletim-turma');

// A four-bimester sheet: the page offers the columns, the teacher takes all four.
check((await loadClass('quatro_bimestres.csv')).includes('colunas'), 'quatro_bimestres.csv: pede as colunas');
const offered = await tab.$$eval('#colunas-lista input', (boxes) => boxes.map((box) => `${box.value}${box.checked ? '+' : ''}`));
check(offered.join(' ') === 'C+ D+ E+ F+ G H', 'quatro_bimestres.csv: as colunas oferecidas', offered.join(' '));
await tab.focus('#calcular');
await tab.keyboard.press('Enter');
await tab.waitForFunction(() => document.getElementById('andamento').textContent.includes('calculada'));
const fourBimesters = native(turma, ['-n', 'C,D,E,F', '--pesos', '1;1;1;1', 'quatro_bimestres.csv']).stdout;
check(JSON.stringify(await shownRows()) === JSON.stringify(csvRows(fourBimesters)), 'quatro_bimestres.csv: a média dos quatro bimestres');
const concepts = await tab.$$eval('#resumo dd', (values) => values.map((value) => value.textContent.trim()));
check(concepts.join() === '0,1,1,1,0', 'quatro_bimestres.csv: o gráfico, com os conceitos que ninguém tirou', concepts.join());

// The school's rule typed in the page, an encoding other than UTF-8, and a file whose name
// starts with '-': each as the native program computes it with the same options.
writeFileSync(path.join(output, '-turma.csv'), readFileSync(path.join(classes, 'planilha_do_professor.csv')));
const ruleCases = [
  { file: 'quatro_bimestres.csv', weights: '1;1;1;1', step: '', args: ['--pesos', '1;1;1;1'] },
  { file: 'quatro_bimestres.csv', weights: '2;2;3;3', step: '0,1', args: ['--pesos', '2;2;3;3', '--arredondamento', '0,1'] },
  { file: 'professor.ods', weights: '', step: '0,5', args: ['--arredondamento', '0,5'] },
  { file: 'windows_1252_bad_rows.csv', weights: '', step: '', args: [] },
  { file: path.join(output, '-turma.csv'), weights: '', step: '', args: ['--'] },
];
await tab.click('summary');
for (const { file, weights, step, args } of ruleCases) {
  // The weights given before the file is chosen; the rounding chosen after, which computes again.
  await tab.$eval('#pesos', (field, value) => { field.value = value; }, weights);
  await tab.$eval('#arredondamento', (list) => { list.value = ''; });
  await loadClass(file);
  if (step) await settled(() => tab.selectOption('#arredondamento', step));
  const expected = csvRows(native(turma, [...args, path.basename(file)], undefined, path.resolve(classes, path.dirname(file))).stdout);
  check(expected.length > 1 && JSON.stringify(await shownRows()) === JSON.stringify(expected), `${path.basename(file)} ${args.join(' ')}: a tabela com a regra da página`);
}
await tab.$eval('#pesos', (field) => { field.value = ''; });
await tab.$eval('#arredondamento', (list) => { list.value = ''; });

// A class longer than a page of rows: the pages hold every row once, in order.
const students = Array.from({ length: 1201 }, (_, at) => `Aluno ${at + 1};${at % 11};${(at * 7) % 11};${(at * 3) % 11}`);
writeFileSync(path.join(output, 'longa.csv'), ['Nome;N1;N2;N3', ...students].join('\n') + '\n');
await loadClass(path.join(output, 'longa.csv'));
const [header, ...body] = csvRows(native(turma, ['longa.csv'], undefined, output).stdout);
for (const [button, first, last] of [[null, 0, 500], ['#seguintes', 500, 1000], ['#seguintes', 1000, 1201], ['#anteriores', 500, 1000]]) {
  if (button) await tab.click(button);
  const pageText = await tab.textContent('#paginas-texto');
  check(JSON.stringify(await shownRows()) === JSON.stringify([header, ...body.slice(first, last)]), `longa.csv: as linhas ${first + 1} a ${last}`, pageText);
  check(pageText.includes(`${(first + 1).toLocaleString('pt-BR')} a ${last.toLocaleString('pt-BR')} de 1.201`), `longa.csv: ${pageText}`);
}
check(await tab.$eval('#anteriores', (button) => !button.disabled), 'longa.csv: volta às linhas anteriores');

// Refusals in the program's own words: a damaged workbook, an old Excel file; and a file
// larger than the page reads, in the page's.
writeFileSync(path.join(output, 'antiga.xls'), Buffer.from([0xd0, 0xcf, 0x11, 0xe0, 0xa1, 0xb1, 0x1a, 0xe1, 0, 0, 0, 0]));
for (const file of [path.join(classes, 'planilha_truncada.xlsx'), path.join(output, 'antiga.xls')]) {
  await loadClass(file);
  const words = native(turma, [path.basename(file)], undefined, path.dirname(file)).stderr.trim();
  const shown = await tab.textContent('#mensagens');
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
const prompt = 'Informe o valor da terceira nota: ';
let differing = 0;
for (let dialogue = 0; dialogue < dialogues; ++dialogue) {
  const answers = [ids[next(ids.length)], grades[next(grades.length)], grades[next(grades.length)], grades[next(grades.length)]];
  for (const [index, id] of ['#identificacao', '#nota1', '#nota2', '#nota3'].entries()) await tab.fill(id, answers[index]);
  await tab.$eval('#relatorio', (report) => { report.textContent = ''; });
  await tab.$eval('#aluno', (form) => form.requestSubmit());
  await tab.waitForFunction(() => document.getElementById('relatorio').textContent !== '');
  const shown = await tab.textContent('#relatorio');
  const run = native(boletim, [], Buffer.from(answers.join('\n') + '\n', 'latin1'));
  const out = run.stdout.toString('latin1');
  const expected = (out.includes(prompt) ? out.slice(out.lastIndexOf(prompt) + prompt.length).replace(/^\n+/, '') : out) + Buffer.from(run.stderr, 'utf8').toString('latin1');
  if (shown !== expected && differing++ < 3) check(false, `boletim: ${JSON.stringify(answers)}`, `página:\n${shown}\nprograma:\n${expected}`);
}
check(differing === 0, `boletim: ${differing} de ${dialogues} diálogos diferem`);

// Screenshots at a phone's width and a desktop's, with a class shown.
await loadClass('professor.ods');
for (const width of [360, 1280]) {
  await tab.setViewportSize({ width, height: 900 });
  await tab.screenshot({ path: path.join(output, `page-${width}.png`) });
  const overflow = await tab.evaluate(() => document.documentElement.scrollWidth - window.innerWidth);
  check(overflow <= 0, `${width} px: a página não passa da largura da tela`, `${overflow} px a mais`);
}

// Nothing leaves the page, and the page cannot make anything leave.
const outside = requests.filter((url) => !/^(file|blob|data):/.test(url));
check(outside.length === 0, 'nenhuma requisição sai da página', outside.join('\n'));
check(await tab.evaluate(() => fetch('https://example.com/').then(() => false, () => true)), 'uma requisição feita pela página é bloqueada');
check(pageErrors.length === 0, 'nenhum erro de script', pageErrors.join('\n'));
await browser.close();
console.log(failures === 0 ? 'page: every check passed' : `page: ${failures} checks failed`);
process.exit(failures === 0 ? 0 : 1);
