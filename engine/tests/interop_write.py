#!/usr/bin/python3
"""Creates a Visual FoxPro table with python-dbf from a description on stdin.

Usage: interop_write.py TABLE.dbf < rows

Input (UTF-8): the first line is a python-dbf field list such as
"NAME C(20); AMOUNT N(12,2)"; every further line is a JSON object
{"deleted": bool, "values": [...]} with one value per field, dates given as
"YYYY-MM-DD" and null for a blank value. Text is stored in code page 1252.
"""
import datetime
import json
import sys

import dbf


def convert(value, field_type):
    if value is None:
        return None
    if field_type == 'D':
        return datetime.date.fromisoformat(value)
    return value


def main():
    lines = sys.stdin.buffer.read().decode('utf-8').split('\n')
    table = dbf.Table(sys.argv[1], lines[0], dbf_type='vfp', codepage='cp1252')
    table.open(dbf.READ_WRITE)
    try:
        types = [chr(table.field_info(name).field_type) for name in table.field_names]
        for line in lines[1:]:
            if not line.strip():
                continue
            row = json.loads(line)
            values = tuple(convert(v, t) for v, t in zip(row['values'], types))
            table.append(values)
            if row.get('deleted'):
                dbf.delete(table[-1])
    finally:
        table.close()


if __name__ == '__main__':
    main()
