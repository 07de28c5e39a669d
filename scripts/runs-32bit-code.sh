#!/usr/bin/env bash
# Whether this machine's kernel runs 32-bit x86 programs: some kernels have
# 32-bit emulation turned off, and there no 32-bit Windows program can run
# under Wine either (and installing Wine's 32-bit part breaks the `wine`
# loader for 64-bit programs too). Runs a tiny static 32-bit Linux program and
# looks at what it printed, not only at its exit status.
#   runs-32bit-code.sh     exit status 0 if it runs; else 1, and says why
set -uo pipefail
probe=$(mktemp)
trap 'rm -f "$probe"' EXIT
# ELF header, one program header, then: write(1, message, 9); exit(0).
printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000' >"$probe"
printf '\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000' >>"$probe"
printf '\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000' >>"$probe"
printf '\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010' >>"$probe"
printf '\000\200\004\010\174\000\000\000\174\000\000\000\005\000\000\000' >>"$probe"
printf '\000\020\000\000' >>"$probe"
printf '\270\004\000\000\000\273\001\000\000\000\271\163\200\004\010\272' >>"$probe"
printf '\011\000\000\000\315\200\270\001\000\000\000\061\333\315\200' >>"$probe"
printf '32-bit ok' >>"$probe"
chmod +x "$probe"
output=$("$probe" 2>&1)
if [ "$output" = "32-bit ok" ]; then
  exit 0
fi
detail=${output##*: }
echo "this machine's kernel does not run 32-bit programs (${detail:-it printed nothing})"
exit 1
