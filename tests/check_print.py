"""Checks the pages of a printed workbook, as pdftotext -bbox gives their words, against
the CSV table of the same class. Usage: check_print.py WORDS_HTML TABLE_CSV"""
import csv
import html
import math
import re
import sys

SMALLEST_GAP = 3.0  # points between the texts of neighbouring cells


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def pages_of(path):
    pages = []
    for page in re.findall(r"<page.*?</page>", open(path, encoding="utf-8").read(), re.S):
        words = [(float(x0), float(y0), float(x1), html.unescape(text)) for x0, y0, x1, text in
                 re.findall(r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" '
                            r'yMax="[\d.]+">(.*?)</word>', page)]
        pages.append(words)
    return pages


def lines_of(words):
    """The page's words by line, top to bottom, each line left to right."""
    lines = {}
    for word in words:
        lines.setdefault(round(word[1]), []).append(word)
    return [sorted(line) for _, line in sorted(lines.items())]


words_path, table_path = sys.argv[1:3]
with open(table_path, newline="", encoding="utf-8-sig") as table:
    rows = list(csv.reader(table, delimiter=";"))
header, students = rows[0], [row for row in rows[1:] if row[-1]]
pages = pages_of(words_path)
kinds = []
for words in pages:
    text = " ".join(word[3] for word in words)
    kinds.append("card" if "Assinatura" in text else "summary" if "Alunos por conceito" in text
                 else "table" if "Definição" in text else "other: " + text[:80])
strays = [kind for kind in kinds if kind.startswith("other")]
if strays:
    fail(f"pages of neither table, summary nor cards: {strays}")
table_pages, cards_pages = kinds.count("table"), kinds.count("card")
if table_pages > math.ceil(len(students) / 35) or kinds.count("summary") != 1:
    fail(f"{table_pages} pages of the table for {len(students)} students, "
         f"{kinds.count('summary')} of the summary")
if cards_pages != math.ceil(len(students) / 4):
    fail(f"{cards_pages} pages of cards for {len(students)} students")
cards_text = " ".join(w[3] for page, kind in zip(pages, kinds) if kind == "card" for w in page)
for said, count in [("Assinatura", len(students)), ("Faltas", len(students)),
                    ("pendente", sum(row[-1] == "erro: nota 3 está vazia" for row in students))]:
    if cards_text.count(said) != count:
        fail(f'the cards say "{said}" {cards_text.count(said)} times, not {count}')

# The table's lines, in order, its header once, against the table's rows: as many words
# as the row's cells, and the last word of a cell well apart from the next cell's first.
lines = [line for page, kind in zip(pages, kinds) if kind == "table"
         for line in lines_of(page)[1:-1]]  # the page's own header and footer left out
lines = [line for i, line in enumerate(lines) if i == 0 or [w[3] for w in line] != [w[3] for w in lines[0]]]
if len(lines) != len(rows):
    fail(f"{len(lines)} lines on the table's pages, {len(rows)} rows in the table")
for line, row in zip(lines, rows):
    counts = [len(cell.split()) for cell in row]
    if sum(counts) != len(line):
        fail(f"cells run together or apart: {[w[3] for w in line]} for {row}")
    ends = [sum(counts[:i + 1]) for i in range(len(counts)) if counts[i]]
    for end in ends[:-1]:
        gap = line[end][0] - line[end - 1][2]
        if gap < SMALLEST_GAP:
            fail(f'"{line[end - 1][3]}" and "{line[end][3]}" stand {gap:.2f} pt apart')
print(f"ok: {table_pages} page(s) of the table, one summary, {cards_pages} of cards; "
      f"{len(rows)} rows, every cell apart")
