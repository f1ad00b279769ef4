#!/usr/bin/env bash
# The link service's tests on PostgreSQL: starts a throwaway server, runs the service's C++
# cases for PostgreSQL (the program's client, two instances on one database) and the
# customer-page walk in Chromium against a service on that database, then stops the server,
# also when a test fails. Needs a build (scripts/build.sh) and the e2e packages.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/postgres-scratch.sh
trap postgres_scratch_stop EXIT
postgres_scratch_start

build/tests/calcora_link_tests --gtest_filter='*PostgreSQL*' --gtest_brief=1
# The walk through the program's client and the customer's page; the page's own checks
# (escaping, axe) do not depend on the engine and run in the end-to-end stage.
(cd e2e && npx playwright test tests/link-page.spec.ts --grep 'through the program' --workers=1)
