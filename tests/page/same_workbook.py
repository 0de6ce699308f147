"""Whether two workbooks hold the same sheets, cells, merged ranges and print areas.
Usage: same_workbook.py FIRST.xlsx SECOND.xlsx"""
import sys

import openpyxl


def content(name):
    book = openpyxl.load_workbook(name)
    return [(sheet.title, [[cell.value for cell in row] for row in sheet.iter_rows()],
             sorted(str(merged) for merged in sheet.merged_cells.ranges), sheet.print_area)
            for sheet in book.worksheets]


first, second = (content(name) for name in sys.argv[1:3])
if first != second:
    for one, other in zip(first, second):
        if one != other:
            print(f"a folha {one[0]!r} difere de {other[0]!r}")
    sys.exit(1)
print(f"{len(first)} folhas iguais")
