#!/usr/bin/python3
"""Reads a table with python-dbf and prints its layout and records.

Usage: interop_read.py TABLE.dbf

Output (UTF-8, one item per line, fields separated by tabs):
    FIELD <name> <type> <length> <decimals>
    RECORD <'*' when deleted, else '-'> <value>...
Values: null, true, false, integers, floats as %.17g, dates as YYYY-MM-DD,
text as a JSON string (character fields without trailing blanks).
"""
import datetime
import json
import sys

import dbf


def canonical(value, field_type):
    if value is None:
        return 'null'
    if isinstance(value, bool):
        return 'true' if value else 'false'
    if isinstance(value, int):
        return str(value)
    if isinstance(value, float):
        return '%.17g' % value
    if isinstance(value, datetime.date):
        return value.isoformat()
    if isinstance(value, bytes):
        return json.dumps(value.decode('latin-1'), ensure_ascii=False)
    text = str(value)
    if field_type == 'C':
        text = text.rstrip(' ')
    return json.dumps(text, ensure_ascii=False)


def main():
    out = open(sys.stdout.fileno(), 'w', encoding='utf-8', newline='\n', closefd=False)
    table = dbf.Table(sys.argv[1])
    table.open(dbf.READ_ONLY)
    try:
        types = {}
        for name in table.field_names:
            info = table.field_info(name)
            field_type = chr(info.field_type)
            types[name] = field_type
            out.write('FIELD\t%s\t%s\t%d\t%d\n' % (name.upper(), field_type, info.length,
                                                   info.decimal))
        for record in table:
            values = [canonical(record[name], types[name]) for name in table.field_names]
            flag = '*' if dbf.is_deleted(record) else '-'
            out.write('\t'.join(['RECORD', flag] + values) + '\n')
    finally:
        table.close()
    out.flush()


if __name__ == '__main__':
    main()
