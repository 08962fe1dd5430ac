#!/usr/bin/env bash
# The local HTTP server that the online-service tests point the menu at: it must send exactly
# the configured replies, log what was asked, stay on 127.0.0.1 and be able to never answer.
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"

e2e_setup

# Prints "STATUS BYTES SHA1-PREFIX" of a GET, or "timeout" when no reply comes in 2 s.
fetch()
{
    "$E2E_PYTHON" - "$1" <<'EOF'
import hashlib, socket, sys, urllib.error, urllib.request
try:
    with urllib.request.urlopen(sys.argv[1], timeout=2) as r:
        status, body = r.status, r.read()
except urllib.error.HTTPError as e:
    status, body = e.code, e.read()
except (socket.timeout, TimeoutError, urllib.error.URLError) as e:
    if "timed out" in str(e):
        print("timeout")
        sys.exit(0)
    raise
print(status, len(body), hashlib.sha1(body).hexdigest()[:8])
EOF
}
digest() { printf '%s' "$1" | sha1sum | cut -c1-8; }
digest_cp950() { printf '%s' "$1" | iconv -f UTF-8 -t CP950 | sha1sum | cut -c1-8; }

mkdir -p "$E2E_ROOT/files/sub"
printf 'file body' >"$E2E_ROOT/files/sub/a.txt"
printf 'secret' >"$E2E_ROOT/outside.txt"
cat >"$E2E_ROOT/replies.json" <<'EOF'
{
  "/standard/vw11/vw11_NEW.ASP?VW2A=RWIN7": {"body": "GR2027.1.1"},
  "/廣告資料/WE_OUT.ASP?VWX1=42": {"body": "系統公告", "encoding": "cp950"},
  "/error": {"status": 500, "body": "<html>error</html>", "content_type": "text/html"},
  "/big": {"body": "x", "repeat": 2097152},
  "/binary": {"body_hex": "00ff10"},
  "/hang": {"never_answer": true}
}
EOF
e2e_start_http --map "$E2E_ROOT/replies.json" --dir "$E2E_ROOT/files"
base=http://127.0.0.1:$E2E_HTTP_PORT

#   target | expected "status bytes digest"
cases=(
    "/standard/vw11/vw11_NEW.ASP?VW2A=RWIN7|200 10 $(digest GR2027.1.1)"
    "/%E5%BB%A3%E5%91%8A%E8%B3%87%E6%96%99/WE_OUT.ASP?VWX1=42|200 8 $(digest_cp950 系統公告)"
    "/error|500 18 $(digest '<html>error</html>')"
    "/big|200 2097152 $(head -c 2097152 /dev/zero | tr '\0' x | sha1sum | cut -c1-8)"
    "/binary|200 3 $(printf '\0\377\020' | sha1sum | cut -c1-8)"
    "/sub/a.txt|200 9 $(digest 'file body')"
    "/sub/../../outside.txt|404"
    "/nothing-here|404"
    "/hang|timeout"
)
for row in "${cases[@]}"; do
    IFS='|' read -r target want <<<"$row"
    got=$(fetch "$base$target")
    [ "${got#"$want"}" != "$got" ] || e2e_fail "GET $target: expected '$want', got '$got'"
done
# The server still answers while a request hangs, and logged every target as sent.
got=$(fetch "$base/standard/vw11/vw11_NEW.ASP?VW2A=RWIN7")
e2e_expect_eq "a reply while another request hangs" "200 10 $(digest GR2027.1.1)" "$got"
e2e_expect_eq "logged requests" $((${#cases[@]} + 1)) "$(wc -l <"$E2E_ROOT/http.log")"
grep -qx $'GET\t/%E5%BB%A3%E5%91%8A%E8%B3%87%E6%96%99/WE_OUT.ASP?VWX1=42' "$E2E_ROOT/http.log" ||
    e2e_fail "the request log does not hold the target as sent"
# Bound to 127.0.0.1 alone: another loopback address of this machine is refused.
if "$E2E_PYTHON" -c 'import socket, sys; socket.create_connection(("127.0.0.2", int(sys.argv[1])), 2)' \
    "$E2E_HTTP_PORT" 2>/dev/null; then
    e2e_fail "the server answers on 127.0.0.2, not only on 127.0.0.1"
fi
e2e_pass "configured replies, files, 404, 2 MiB, binary, a request that never gets an answer"

# --never-answer: nothing is answered at all.
e2e_start_http --never-answer
e2e_expect_eq "a server that never answers" timeout "$(fetch "http://127.0.0.1:$E2E_HTTP_PORT/standard/vw11/vw11_NEW.ASP?VW2A=RWIN7")"
e2e_pass "a server that never answers"
