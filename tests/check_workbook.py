"""Checks a workbook that boletim-turma wrote against the CSV table it writes for the same
class with --ponto: every cell of the sheet "Turma" the same as the table's, a number
where the program wrote a number and the text as typed everywhere else, so that leading
zeros and a leading = stay text; the header bold and frozen; failed students and rows in
error filled; the sheet "Resumo" with the summary's counts and the grade columns; a chart.
Usage: check_workbook.py WORKBOOK TABLE_CSV SUMMARY_LINE
"""
import csv
import re
import sys
import zipfile

import openpyxl


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


workbook_path, table_path, summary_line = sys.argv[1:4]
book = openpyxl.load_workbook(workbook_path)
if book.sheetnames != ["Turma", "Resumo"]:
    fail(f"sheets {book.sheetnames}")
sheet, summary = book["Turma"], book["Resumo"]
with open(table_path, newline="", encoding="utf-8") as table:
    rows = list(csv.reader(table))
width = len(rows[0])
grades = [summary.cell(row, 2).value - 1 for row in (14, 15, 16)]

fills = {"APROVADO": "00000000", "REPROVADO": "FFFFC7CE"}
for number, row in enumerate(rows, start=1):
    computed = number > 1 and row[-1] in fills
    numbers = set(grades) | {width - 3} if computed else set()
    for column, expected in enumerate(row):
        cell = sheet.cell(number, column + 1)
        where = f"{cell.coordinate}: {cell.value!r} ({cell.data_type}), table {expected!r}"
        if column in numbers:
            if cell.data_type != "n" or cell.value != float(expected):
                fail(where)
        elif expected == "":
            if cell.value is not None:
                fail(where)
        elif cell.data_type != "s" or cell.value != expected:
            fail(where)
        fill = cell.fill.fgColor.rgb
        if number > 1 and fill != fills.get(row[-1], "FFFFEB9C"):
            fail(f"{where}, fill {fill}")
if sheet.max_row != len(rows):
    fail(f"{sheet.max_row} rows, the table {len(rows)}")
if sheet.freeze_panes != "A2" or not all(sheet.cell(1, c).font.b for c in range(1, width + 1)):
    fail("the header is not bold and frozen")

counts = [int(n) for n in re.search(r"(\d+) alunos?: (\d+) aprovados?, (\d+) reprovados?, (\d+) com erro",
                                     summary_line).groups()]
if [summary.cell(row, 2).value for row in (1, 2, 3, 4)] != counts:
    fail(f"Resumo's counts differ from the summary {counts}")
if sum(summary.cell(row, 2).value for row in range(7, 12)) != counts[1] + counts[2]:
    fail("Resumo's concepts do not add up to the students computed")
if "xl/charts/chart1.xml" not in zipfile.ZipFile(workbook_path).namelist():
    fail("no chart")
print(f"ok: {len(rows)} rows of {width} cells as the table's, Resumo {counts}, a chart")
