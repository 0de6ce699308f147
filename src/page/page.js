// The page: it hands the teacher's file to boletim-turma and the form's fields to boletim,
// both running in a worker, and shows what they say. It never parses a spreadsheet or
// computes a mean itself: every result is the programs' own.
'use strict';

const largestFile = 64 * 1024 * 1024; // beyond this a phone's browser may run out of memory
const element = (id) => document.getElementById(id);

// The worker, made from the script inside the page, with both programs given once.
const worker = new Worker(URL.createObjectURL(new Blob([element('trabalhador').textContent], { type: 'text/javascript' })));
worker.postMessage({ modules: { boletim: programBytes('programa-boletim'), 'boletim-turma': programBytes('programa-boletim-turma') } });

function programBytes(id) {
  const text = atob(element(id).textContent.trim());
  const bytes = new Uint8Array(text.length);
  for (let at = 0; at < text.length; ++at) bytes[at] = text.charCodeAt(at);
  return bytes;
}

const pending = new Map();
let nextRun = 0;
worker.onmessage = ({ data }) => {
  const run = pending.get(data.id);
  if (!run) return;
  if (data.progress !== undefined) {
    run.onProgress(data.progress);
    return;
  }
  pending.delete(data.id);
  run.resolve(data);
};
worker.onerror = (event) => {
  for (const run of pending.values()) run.resolve({ status: null, failure: event.message, stdout: new Uint8Array(0), stderr: new Uint8Array(0), files: {} });
  pending.clear();
};

// Runs program with args; resolves with its exit status, output and the files named in keep.
function runProgram(program, args, { stdin, files, keep, onProgress } = {}) {
  const id = nextRun++;
  return new Promise((resolve) => {
    pending.set(id, { resolve, onProgress: onProgress || (() => {}) });
    worker.postMessage({ id, program, args, stdin, files, keep });
  });
}

const utf8 = new TextDecoder('utf-8');

// ISO-8859-1 as it is: a TextDecoder given that label decodes Windows-1252.
function fromLatin1(bytes) {
  let text = '';
  for (let at = 0; at < bytes.length; at += 8192) text += String.fromCharCode(...bytes.subarray(at, at + 8192));
  return text;
}

function download(bytes, name, type) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([bytes], { type }));
  link.download = name;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 60000);
}

// What a run that stopped without an exit status (out of memory, above all) tells the
// teacher; the browser's own words go to its console.
function stopped(run) {
  console.error(run.failure);
  return 'não foi possível concluir (memória insuficiente ou erro interno); tente um arquivo menor ou outro navegador';
}

function say(text) {
  element('andamento').textContent = text;
}

// ---- The class ----

const state = { file: null, bytes: null, table: null, gradeColumns: null, pickedWeights: null };

function stem(name) {
  const dot = name.lastIndexOf('.');
  return dot > 0 ? name.slice(0, dot) : name;
}

// The file's name as the program's last argument; one that starts with '-' after '--', or
// it would be read as an option.
function fileArguments(name) {
  return name.startsWith('-') ? ['--', name] : [name];
}

function ruleArguments() {
  const args = [];
  const weights = element('pesos').value.trim() || state.pickedWeights;
  if (weights) args.push('--pesos', weights);
  const step = element('arredondamento').value;
  if (step) args.push('--arredondamento', step);
  if (state.gradeColumns) args.push('-n', state.gradeColumns);
  return args;
}

async function chooseFile(file) {
  state.file = file;
  state.bytes = null;
  state.gradeColumns = null;
  state.pickedWeights = null;
  element('colunas').hidden = true;
  if (file.size > largestFile) {
    showFailure(`o arquivo "${file.name}" tem ${(file.size / 1048576).toFixed(0)} MB; a página lê turmas de até ${largestFile / 1048576} MB`);
    return;
  }
  say(`Lendo "${file.name}"…`);
  try {
    state.bytes = new Uint8Array(await file.arrayBuffer());
  } catch (error) {
    showFailure(`não foi possível ler "${file.name}": ${error.message}`);
    return;
  }
  await computeClass();
}

function showFailure(text) {
  element('resultado').hidden = true;
  element('mensagens').replaceChildren(messageItem(text, 'erro'));
  say(text);
}

function messageItem(text, kind) {
  const item = document.createElement('li');
  item.textContent = text;
  if (kind) item.className = kind;
  return item;
}

async function computeClass() {
  const name = state.file.name;
  const progress = element('progresso');
  progress.hidden = false;
  progress.removeAttribute('value');
  say(`Calculando a turma de "${name}"…`);
  const run = await runProgram('boletim-turma', [...ruleArguments(), ...fileArguments(name)], {
    files: { [name]: state.bytes },
    onProgress: (part) => { progress.value = part; },
  });
  progress.hidden = true;
  state.table = run.stdout;
  showClass(run, name);
}

// What the program wrote to standard error, as messages: each starts with the program's
// name or the file's; a line that starts with neither goes on the message before it. The
// summary is what follows the description of the table, the line before the rule's.
function readMessages(stderr, name) {
  const lines = utf8.decode(stderr).split('\n').filter((line) => line !== '');
  const rule = lines.findIndex((line) => line.startsWith(`${name}: regra: `));
  const summaryStart = rule > 0 ? rule - 1 : lines.length;
  const messages = [];
  for (const line of lines.slice(0, summaryStart)) {
    if (line.startsWith('boletim-turma: ') || line.startsWith(`${name}:`) || messages.length === 0) messages.push(line);
    else messages[messages.length - 1] += '\n' + line;
  }
  return { messages, summary: lines.slice(summaryStart).map((line) => line.startsWith(`${name}: `) ? line.slice(name.length + 2) : line) };
}

function showClass(run, name) {
  if (run.status === null) {
    showFailure(stopped(run));
    return;
  }
  const { messages, summary } = readMessages(run.stderr, name);
  element('mensagens').replaceChildren(...messages.map((text) => messageItem(text, /(^boletim-turma: |: (nota|erro))/.test(text) ? 'erro' : 'aviso')));
  const candidates = unclearColumns(messages);
  if (run.status === 2 && candidates.length > 0) {
    showColumnPicker(messages.find((text) => text.includes('\n  ')), candidates);
  }
  if (run.status === 2) {
    element('resultado').hidden = true;
    say(candidates.length > 0 ? 'Diga quais colunas são as notas.' : 'A turma não foi calculada: veja as mensagens.');
    return;
  }
  showTable(parseCsv(utf8.decode(run.stdout)));
  showSummary(summary);
  element('resultado').hidden = false;
  say(`Turma de "${name}" calculada.`);
  element('resumo').focus();
}

// The columns the program lists where it cannot tell which are the grades, as C (3) "1º Bim".
function unclearColumns(messages) {
  const columns = [];
  let others = false;
  for (const text of messages) {
    for (const line of text.split('\n')) {
      if (line.startsWith('Outras colunas')) others = true;
      const found = /^ {2}([A-Z]+) \((\d+)\) "(.*)"$/.exec(line);
      if (found) columns.push({ letter: found[1], name: found[3], candidate: !others });
    }
  }
  return columns;
}

function showColumnPicker(message, columns) {
  element('colunas-explicacao').textContent = message ? message.split('\n')[0].replace(/^boletim-turma: /, '') : '';
  const list = element('colunas-lista');
  list.replaceChildren(...columns.map(({ letter, name, candidate }) => {
    const label = document.createElement('label');
    const box = document.createElement('input');
    box.type = 'checkbox';
    box.value = letter;
    box.checked = candidate;
    label.append(box, ` ${letter}: ${name}`);
    return label;
  }));
  element('colunas').hidden = false;
  list.querySelector('input').focus();
}

function pickColumns() {
  const letters = [...element('colunas-lista').querySelectorAll('input:checked')].map((box) => box.value);
  if (letters.length === 0) {
    say('Marque as colunas das notas.');
    return;
  }
  state.gradeColumns = letters.join(',');
  // Other than three columns without the school's weights: their plain mean.
  state.pickedWeights = letters.length === 3 ? null : letters.map(() => '1').join(';');
  element('colunas').hidden = true;
  computeClass();
}

// The program's CSV table: fields separated by ';', quoted with '"' where they need it.
function parseCsv(text) {
  const rows = [];
  let row = [];
  let field = '';
  let quoted = false;
  text = text.replace(/^\uFEFF/, '');
  for (let at = 0; at < text.length; ++at) {
    const character = text[at];
    if (quoted) {
      if (character === '"' && text[at + 1] === '"') { field += '"'; ++at; } else if (character === '"') quoted = false; else field += character;
    } else if (character === '"') quoted = true;
    else if (character === ';') { row.push(field); field = ''; } else if (character === '\n') { row.push(field.replace(/\r$/, '')); rows.push(row); row = []; field = ''; } else field += character;
  }
  if (field !== '' || row.length > 0) rows.push([...row, field]);
  return rows;
}

// A student has a verdict or an error in the last column; a row with neither is one the
// teacher kept below the table (a footer).
function rowKind(cells) {
  const verdict = cells[cells.length - 1] || '';
  if (verdict.startsWith('erro')) return 'erro';
  if (cells.slice(-3).every((cell) => cell === '')) return 'rodape';
  return verdict === 'REPROVADO' ? 'reprovado' : 'aluno';
}

const isNumber = (text) => /^-?[\d.]+(,\d+)?$/.test(text);

// Columns mostly of numbers are aligned right, their header with them; the first column of
// text names the row for a screen reader.
function columnKinds(header, body) {
  return header.map((_, column) => {
    const filled = body.map((cells) => cells[column] || '').filter((text) => text !== '');
    return filled.filter(isNumber).length * 2 > filled.length ? 'numero' : 'texto';
  });
}

// A class is shown a page of rows at a time: the browser lays out a few hundred rows at
// once, and thousands would hold the page still for seconds.
const rowsAPage = 500;
const table = { header: [], body: [], kinds: [], rowName: 0, first: 0 };

function showTable(rows) {
  [table.header = [], ...table.body] = rows;
  table.kinds = columnKinds(table.header, table.body);
  table.rowName = Math.max(0, table.kinds.indexOf('texto'));
  table.first = 0;
  const headRow = document.createElement('tr');
  table.header.forEach((name, column) => {
    const cell = document.createElement('th');
    cell.scope = 'col';
    cell.className = table.kinds[column];
    cell.textContent = name;
    headRow.append(cell);
  });
  element('turma').tHead.replaceChildren(headRow);
  showRows();
}

function showRows() {
  const shown = table.body.slice(table.first, table.first + rowsAPage);
  const fragment = document.createDocumentFragment();
  for (const cells of shown) {
    const row = document.createElement('tr');
    row.className = rowKind(cells);
    cells.forEach((text, column) => {
      const cell = document.createElement(column === table.rowName ? 'th' : 'td');
      if (column === table.rowName) cell.scope = 'row';
      cell.className = table.kinds[column];
      cell.textContent = text;
      row.append(cell);
    });
    fragment.append(row);
  }
  element('turma').tBodies[0].replaceChildren(fragment);
  const paged = table.body.length > rowsAPage;
  element('paginas').hidden = !paged;
  const count = (number) => number.toLocaleString('pt-BR');
  element('paginas-texto').textContent = `Linhas ${count(table.first + 1)} a ${count(table.first + shown.length)} de ${count(table.body.length)}`;
  element('anteriores').disabled = table.first === 0;
  element('seguintes').disabled = table.first + rowsAPage >= table.body.length;
}

function turnPage(step) {
  table.first = Math.max(0, Math.min(table.first + step * rowsAPage, table.body.length - 1));
  showRows();
  element('turma').parentElement.scrollTop = 0;
}

// The summary as the program says it, its chart of concepts drawn as bars.
function showSummary(lines) {
  const box = element('resumo');
  box.replaceChildren();
  const heading = document.createElement('h3');
  heading.textContent = 'Resumo';
  box.append(heading);
  const chart = document.createElement('dl');
  chart.className = 'grafico';
  // A concept's line: its letter, its count, and a bar of blocks where the count is not 0.
  const barOf = (line) => /^ {2}([A-E]) +(\d+)(?: |$)/.exec(line);
  const most = Math.max(1, ...lines.map((line) => Number((barOf(line) || [])[2] || 0)));
  for (const line of lines) {
    const bar = barOf(line);
    if (!bar) {
      box.append(Object.assign(document.createElement('p'), { textContent: line }));
      continue;
    }
    const term = Object.assign(document.createElement('dt'), { textContent: `Conceito ${bar[1]}` });
    const value = document.createElement('dd');
    if (Number(bar[2]) > 0) {
      const fill = Object.assign(document.createElement('span'), { className: 'barra' });
      fill.style.width = `calc((100% - 3rem) * ${Number(bar[2]) / most})`;
      value.append(fill);
    }
    value.append(` ${bar[2]}`);
    chart.append(term, value);
  }
  if (chart.childElementCount > 0) box.append(chart);
}

async function downloadWorkbook() {
  const name = state.file.name;
  const output = `${stem(name)}-boletins.xlsx`;
  say(`Preparando "${output}"…`);
  const run = await runProgram('boletim-turma', [...ruleArguments(), '-o', output, ...fileArguments(name)], { files: { [name]: state.bytes }, keep: [output] });
  const workbook = run.files[output];
  if (run.status === null || run.status === 2 || !workbook) {
    showFailure(run.status === null ? stopped(run) : readMessages(run.stderr, name).messages.join('\n') || `não foi possível criar "${output}"`);
    return;
  }
  download(workbook, output, 'application/vnd.openxmlformats-officedocument.spreadsheetml.sheet');
  say(`"${output}" baixado.`);
}

// ---- One student ----

// The dialogue's input as boletim reads it from a terminal: ISO-8859-1 bytes, one answer a line.
function latin1Bytes(text) {
  return Uint8Array.from(text, (character) => (character.charCodeAt(0) <= 0xff ? character.charCodeAt(0) : 0x3f));
}

const lastPrompt = 'Informe o valor da terceira nota: ';

async function computeStudent(event) {
  event.preventDefault();
  const answers = ['identificacao', 'nota1', 'nota2', 'nota3'].map((id) => element(id).value);
  const run = await runProgram('boletim', [], { stdin: latin1Bytes(answers.join('\n') + '\n') });
  const output = fromLatin1(run.stdout);
  const report = output.includes(lastPrompt) ? output.slice(output.lastIndexOf(lastPrompt) + lastPrompt.length).replace(/^\n+/, '') : output;
  const problems = run.status === null ? stopped(run) : fromLatin1(run.stderr);
  element('relatorio').textContent = report + problems;
  element('relatorio').focus();
}

// ---- Wiring ----

// Emptied as the chooser opens, so that the same file chosen again, saved since with the
// teacher's changes, is a change too; the name shown stays until then.
element('arquivo').addEventListener('click', () => { element('arquivo').value = ''; });
element('arquivo').addEventListener('change', () => {
  const [file] = element('arquivo').files;
  if (file) chooseFile(file);
});
const dropZone = document.body;
dropZone.addEventListener('dragover', (event) => { event.preventDefault(); element('soltar').classList.add('sobre'); });
dropZone.addEventListener('dragleave', () => element('soltar').classList.remove('sobre'));
dropZone.addEventListener('drop', (event) => {
  event.preventDefault();
  element('soltar').classList.remove('sobre');
  const [file] = event.dataTransfer.files;
  if (file) chooseFile(file);
});
for (const id of ['pesos', 'arredondamento']) {
  element(id).addEventListener('change', () => { if (state.bytes) computeClass(); });
}
element('turma-form').addEventListener('submit', (event) => event.preventDefault());
element('calcular').addEventListener('click', pickColumns);
element('baixar-csv').addEventListener('click', () => download(state.table, `${stem(state.file.name)}-boletins.csv`, 'text/csv'));
element('baixar-xlsx').addEventListener('click', downloadWorkbook);
element('aluno').addEventListener('submit', computeStudent);
element('anteriores').addEventListener('click', () => turnPage(-1));
element('seguintes').addEventListener('click', () => turnPage(1));
