#!/usr/bin/env python3
"""encode_strings.py IN OUT: the UTF-8 strings source as a code-page-936 INI file
with CRLF line ends, comment lines dropped."""
import sys

src, dst = sys.argv[1], sys.argv[2]
lines = [l.rstrip('\r\n') for l in open(src, encoding='utf-8')]
body = [l for l in lines if not l.startswith(';')]
while body and not body[0].strip():
    body.pop(0)
with open(dst, 'wb') as f:
    f.write(('\r\n'.join(body) + '\r\n').encode('gbk'))
