// Prints every table of an Access file as read by the npm package mdb-reader, as one JSON document:
//
//   node mdb-reader-dump.mjs FILE [PASSWORD [COLUMNS]]
//
// COLUMNS, a comma-separated list, limits every table to those of its columns (for files too large
// to print whole).
//
//   {"password": <getPassword(), or null when the file has none>,
//    "table_order": ["<name>", ...],
//    "tables": {"<name>": {"columns": [{"name": "...", "type": "<mdb-reader's type>"}, ...],
//                          "rows": [[cell, ...], ...]}, ...}}
//
// "table_order" is the order getTableNames() gives (JSON object keys carry no order), rows are in
// the order getData() gives them, cells in column order. Each cell is one of:
//   null                      NULL
//   true / false              a Yes/No column
//   a JSON number             any number; a date/time as days since 1899-12-30 (Access's own
//                             form), exact to the millisecond, as mdb-reader keeps no more
//   {"number": "NaN" | "Infinity" | "-Infinity" | "-0"}   numbers plain JSON cannot carry
//   {"utf16le": "<hex>"}      text, as its UTF-16LE bytes: exact for any text, lone surrogates
//                             included, which a JSON string carries only as far as its reader
//                             chooses to
//   {"base64": "<base64>"}    bytes (OLE objects, binary columns)
// mdb-reader gives some types (currency, decimal) as text; they come out as text. Names and the
// password are JSON strings. The document is plain ASCII, anything else escaped as \uXXXX: Qt's
// JSON reader drops a leading U+FEFF from a string given as raw UTF-8, not from an escaped one.
//
// mdb-reader is loaded from $ORVANE_NPM_DIR/node_modules (where scripts/readers.sh installs it).
// On any failure the message goes to stderr and the exit status is 1.
import { readFileSync } from "node:fs";
import { join } from "node:path";
import { pathToFileURL } from "node:url";

const msPerDay = 86400000;
const unixEpochInAccessDays = 25569;

function encodeCell(value) {
    if (value === null || value === undefined) return null;
    if (typeof value === "boolean") return value;
    if (typeof value === "bigint") return Number(value);
    if (typeof value === "number") {
        if (Number.isNaN(value) || !Number.isFinite(value)) return { number: String(value) };
        if (Object.is(value, -0)) return { number: "-0" };
        return value;
    }
    if (typeof value === "string") return { utf16le: Buffer.from(value, "utf16le").toString("hex") };
    if (value instanceof Date) {
        // One division, so a value that was whole milliseconds comes back as the same double.
        return encodeCell((value.getTime() + unixEpochInAccessDays * msPerDay) / msPerDay);
    }
    if (Buffer.isBuffer(value) || value instanceof Uint8Array) {
        return { base64: Buffer.from(value.buffer, value.byteOffset, value.byteLength).toString("base64") };
    }
    throw new Error(`unexpected cell value ${String(value)}`);
}

async function main() {
    const [file, password, only] = process.argv.slice(2);
    const wanted = only ? only.split(",") : null;
    if (!file) throw new Error("usage: node mdb-reader-dump.mjs FILE [PASSWORD]");
    const npmDir = process.env.ORVANE_NPM_DIR;
    if (!npmDir) throw new Error("ORVANE_NPM_DIR is not set");
    // An ES module ignores NODE_PATH, so the package is loaded by its path.
    const entry = join(npmDir, "node_modules", "mdb-reader", "lib", "node", "index.js");
    const { default: MDBReader } = await import(pathToFileURL(entry).href);

    const reader = new MDBReader(readFileSync(file), { password: password ?? "" });
    const order = reader.getTableNames();
    const tables = {};
    for (const name of order) {
        const table = reader.getTable(name);
        const columns = table
            .getColumns()
            .filter((c) => !wanted || wanted.includes(c.name))
            .map((c) => ({ name: c.name, type: c.type }));
        const rows = table.getData({ columns: columns.map((c) => c.name) }).map((row) => columns.map((c) => encodeCell(row[c.name])));
        tables[name] = { columns, rows };
    }
    // No process.exit(): a large document is still being written to the pipe at this point.
    const json = JSON.stringify({ password: reader.getPassword(), table_order: order, tables });
    process.stdout.write(json.replace(/[^\x20-\x7e]/g, (c) => `\\u${c.charCodeAt(0).toString(16).padStart(4, "0")}`));
}

main().catch((error) => {
    process.stderr.write(`${error instanceof Error ? error.message : String(error)}\n`);
    process.exitCode = 1;
});
