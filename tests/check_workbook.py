"""Checks a workbook that boletim-turma wrote against the CSV table it writes for the same
class with --ponto, and against its messages:
- "Turma": every cell the table's, a number where the table has a computed grade or a
  plain number in a column of them (absences), the text as typed everywhere else (leading
  zeros, a leading =); a mean at two decimals, never showing a concept's bound it does
  not reach; the header
  bold, frozen and on every printed page; landscape, one page wide, the class's title
  above and the page number below; failed and error rows filled; a footer's plain numbers
  in a column of them numbers, as a student's;
- "Resumo": the summary's counts, the class's means, the grade columns, the rows in error
  and a chart whose axis counts whole students;
- "Boletins": a card for each student, computed or not, in order, with a page break
  between cards only.
Usage: check_workbook.py WORKBOOK TABLE_CSV MESSAGES TITLE
"""
import csv
import math
import re
import sys
import zipfile

import openpyxl


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def plain_number(text):
    return re.fullmatch(r"-?(0|[1-9][0-9]*)([.,][0-9]+)?", text.strip()) is not None


workbook_path, table_path, messages_path, title = sys.argv[1:5]
book = openpyxl.load_workbook(workbook_path)
if book.sheetnames != ["Turma", "Resumo", "Boletins"]:
    fail(f"sheets {book.sheetnames}")
sheet, summary, cards = book["Turma"], book["Resumo"], book["Boletins"]
with open(table_path, newline="", encoding="utf-8") as table:
    rows = list(csv.reader(table))
with open(messages_path, encoding="utf-8") as messages:
    messages = messages.read()
width = len(rows[0])
# "Resumo" lists the grade columns under "Notas", a row each, and then the rows in error.
labels = [summary.cell(row, 1).value for row in range(1, summary.max_row + 1)]
notes_row = labels.index("Notas") + 1
grades = [openpyxl.utils.column_index_from_string(summary.cell(row, 2).value) - 1
          for row in range(notes_row + 1, summary.max_row + 1)
          if str(summary.cell(row, 1).value or "").startswith("Nota ")]
errors_row = labels.index("Linhas com erro") + 1
students = [row for row in rows[1:] if row[-1] != ""]
footers = rows[1 + len(students):]
identification = range(0, min(grades))
numbers = set(grades) | {column for column in range(width - 3) if column not in identification and
                         all(plain_number(row[column]) for row in students if row[column] != "")}

# "Turma", cell by cell.
fills = {"APROVADO": "00000000", "REPROVADO": "FFFFC7CE"}
for number, row in enumerate(rows[1:], start=2):
    computed = row[-1] in fills
    for column, expected in enumerate(row):
        cell = sheet.cell(number, column + 1)
        where = f"{cell.coordinate}: {cell.value!r} ({cell.data_type}), table {expected!r}"
        if column == width - 3 and computed:
            # The exact mean at two decimals, which never shows a bound of a concept it
            # does not have.
            value, letter = float(expected), row[width - 2]
            crossed = [b for b, above in ((9, "A"), (7.5, "AB"), (6, "ABC"), (4, "ABCD"))
                       if (cell.value is not None and cell.value >= b) != (letter in above)]
            shown = {math.floor(value * 100 + 0.5 + 1e-9) / 100, math.floor(value * 100 + 1e-9) / 100}
            if (cell.data_type != "n" or min(abs(cell.value - v) for v in shown) > 1e-9 or crossed or
                    cell.number_format != "0.00"):
                fail(f"{where}, format {cell.number_format}, crossing {crossed}")
        elif column in numbers and plain_number(expected) or (column in grades and computed):
            if cell.data_type != "n" or cell.value != float(expected.replace(",", ".")):
                fail(where)
        elif expected == "":
            if cell.value is not None:
                fail(where)
        elif cell.data_type != "s" or cell.value != expected:
            fail(where)
        fill = cell.fill.fgColor.rgb
        if row in students and fill != fills.get(row[-1], "FFFFEB9C"):
            fail(f"{where}, fill {fill}")
if sheet.max_row != len(rows):
    fail(f"{sheet.max_row} rows, the table {len(rows)}")
if sheet.freeze_panes != "A2" or not all(sheet.cell(1, c).font.b for c in range(1, width + 1)):
    fail("the header is not bold and frozen")
setup = sheet.page_setup  # a fitToWidth of 1 is the default, and may be left out
if (setup.orientation != "landscape" or not sheet.sheet_properties.pageSetUpPr.fitToPage or
        setup.fitToWidth not in (None, 1) or setup.fitToHeight != 0 or
        sheet.print_title_rows.replace("$", "") != "1:1"):
    fail(f"Turma's pages: {setup.orientation}, fit {setup.fitToWidth}x{setup.fitToHeight}, "
         f"titles {sheet.print_title_rows}")
header, footer = sheet.oddHeader.center.text, sheet.oddFooter.center.text
if header != title.replace("&", "&&") or footer != "Página &P de &N":
    fail(f"Turma's page header {header!r}, footer {footer!r}")

# "Resumo".
counts = [int(n) for n in re.search(r"(\d+) alunos?: (\d+) aprovados?, (\d+) reprovados?, (\d+) com erro",
                                     messages).groups()]
if [summary.cell(row, 2).value for row in (3, 4, 5, 6)] != counts:
    fail(f"Resumo's counts differ from the summary {counts}")
means = [float(row[width - 3]) for row in students if row[-1] in fills]
expected_means = [sum(means) / len(means), max(means), min(means)]
for row, expected in zip((8, 9, 10), expected_means):
    value = summary.cell(row, 2).value
    # Shown at two decimals, cut rather than rounded across a concept's bound.
    if not isinstance(value, float | int) or abs(value - expected) >= 0.01:
        fail(f"Resumo's means: row {row} {value!r}, expected {expected}")
if sum(summary.cell(row, 2).value for row in range(13, 18)) != counts[1] + counts[2]:
    fail("Resumo's concepts do not add up to the students computed")
listed = [(summary.cell(row, 1).value, summary.cell(row, 2).value)
          for row in range(errors_row + 2, summary.max_row + 1)]
said = [(int(line), error) for line, error in re.findall(r"^[^\n]*?:(\d+): (?!aviso)(.*)$", messages, re.M)]
if listed != said:
    fail(f"Resumo's rows in error {listed}, the messages {said}")
chart = zipfile.ZipFile(workbook_path).read("xl/charts/chart1.xml").decode()
if '<c:majorUnit val="1"/>' not in chart:
    fail("the chart's axis does not count whole students")

# "Boletins": a card for each student, none cut across pages.
names = [cell.value for cell in cards["B"] if cell.row > 1 and cards.cell(cell.row - 1, 1).fill.fgColor.rgb == "FFDDEBF7"]
if names != [row[0] for row in students]:
    fail(f"the cards are for {names}, the students {[row[0] for row in students]}")
starts = [cell.row for cell in cards["A"] if cell.fill.fgColor.rgb == "FFDDEBF7"]
breaks = [brk.id for brk in cards.row_breaks.brk]
if not breaks or any(brk + 1 not in starts for brk in breaks):
    fail(f"the cards start at rows {starts}, and the pages break after {breaks}")
print(f"ok: {len(rows)} rows of {width} cells as the table's, Resumo {counts}, "
      f"{len(names)} cards, breaks after rows {breaks}")
