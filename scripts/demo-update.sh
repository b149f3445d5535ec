# The demo's last act, sourced by demo.sh once Kestro Demo is installed in
# $TARGET and nginx serves $OUT/www on 127.0.0.1:$port: version 1 gets its
# update agent, its settings file and a running program; version 2 is
# published under /update as a publisher does it: its setup file packed by
# kpack around the real stub and the sample engine, its ".INFO" file signed
# by `kpack publish` with a throw-away key made for this run (both versions'
# agents carry its public half and act only on what it signed).
# The agent finds it and asks; the question is photographed and answered Yes
# with a real key press; the agent closes the program, installs version 2
# and starts the program again. Any step that does not come in time fails
# the demo.

AGENT=KestroDemo.AutoUpdate.exe
PRODUCT=KestroDemo.exe
UPDATE_URL="http://127.0.0.1:$port/update"
AGENT_LOG=$TARGET/X_KestroDemo.AutoUpdate.log
KEY=$OUT/DemoKey
AGENT_OPTS=(--agent-log --update-url "$UPDATE_URL" --info-file KestroDemo.info
            --agent-name "$AGENT" --product-token demo-product-token --public-key "$KEY.pub")

fail() {
  [ -f "$AGENT_LOG" ] && tail -n 8 "$AGENT_LOG" | sed 's/^/   agent log: /' >&2
  echo "The update FAILED: $*" >&2
  exit 1
}

# wait_for SECONDS WHAT COMMAND...: polls COMMAND until it succeeds.
wait_for() {
  local seconds=$1 what=$2
  shift 2
  for _ in $(seq $((seconds * 10))); do "$@" && return 0; sleep 0.1; done
  fail "$what did not happen within $seconds s"
}
log_count() { grep -c -F -- "$1" "$AGENT_LOG" 2>/dev/null || true; }
log_has() { [ "$(log_count "$1")" -ge "${2:-1}" ]; }
product_pids() { pgrep -f "Kestro Demo.$PRODUCT" || true; }
product_runs() { [ -n "$(product_pids)" ]; }

# The resident agent is told to stop whatever happens to the demo.
agent_started=""
stop_agent() {
  [ -n "$agent_started" ] || return 0
  agent_started=""
  timeout 30 "$KESTRO_WINE" "$TARGET_WIN\\$AGENT" /STOP=0 </dev/null >>"$OUT/agent-run.log" 2>&1 || true
}
trap 'stop_agent; "$ROOT/scripts/nginx-serve.sh" stop "$OUT/nginx"; wine_down' EXIT

echo "   the publisher's key: $KEY.key (private, made for this demo) and $KEY.pub"
rm -f "$KEY.key" "$KEY.pub"
"$BUILD/native/tools/kpack/kpack" keygen "$KEY" >/dev/null
echo "   version 1: the agent $AGENT, KestroDemo.original and the program $PRODUCT"
"$BUILD/native/tools/kpack/kpack" --stub "$WIN/src/stub/kestro-stub.exe" \
  --out "$TARGET/$AGENT" --agent "${AGENT_OPTS[@]}" >/dev/null
printf '%s\r\n' '[OriginalSetup]' 'VersionOriginal=1' 'Stamp=1' 'ProbeSecondsInterval=3600' \
  'ProgramName=Kestro Demo' '[Directories]' "TargetDir=$TARGET_WIN" '[AutoUpdate]' \
  's11=<B>PROG_NAME 2 is out.</B><P>' 's12=Download it now?' \
  's13=Download it now? You are asked again before it is installed.' 's14=Install PROG_NAME 2 now?' \
  's15=Please close PROG_NAME to go on with the update.' 's16=PROG_NAME is up to date.' \
  's17=<P>Start it again?' 's18=It is downloaded now.' 's20=It is installed now.' \
  >"$TARGET/KestroDemo.original"
cp "$WIN/sample_product.exe" "$TARGET/$PRODUCT"

echo "   version 2: DemoSetup2.exe, KestroDemo.info and its signature in $OUT/www/update"
rm -rf "$OUT/v2" "$OUT/v2-setup" "$OUT/www/update"
mkdir -p "$OUT/v2" "$OUT/v2-setup" "$OUT/www/update"
printf '[Demo]\r\nVersion=2.0.0\r\nGreeting=Hello from version 2 of the Kestro demo product\r\n' >"$OUT/v2/demo.ini"
"$BUILD/native/tools/kpack/kpack" --stub "$WIN/src/stub/kestro-stub.exe" \
  --out "$OUT/v2-setup/DemoSetup2.exe" --creates-agent "${AGENT_OPTS[@]}" \
  --dir "$OUT/v2" --file "kengine.exe=$WIN/tools/kengine/kengine.exe" --engine kengine.exe \
  --engine-switches "/Target=$TARGET_WIN /Product=Kestro Demo 2 /WorkMs=1000" >/dev/null
printf '%s\r\n' '[NewSetup]' 'ProgramName=Kestro Demo' \
  "RunningProcess=<InstallDir>\\$PRODUCT" 'ShutDownMethod=Using WM_CLOSE' 'RestartProcess=1' \
  'InformFinish=0' 'RequestConfirmationBeforeDownload=1' 'RequestConfirmationBeforeInstall=0' \
  'BackgroundUpdate=0' >"$OUT/v2-setup/release.ini"
"$BUILD/native/tools/kpack/kpack" publish --key "$KEY.key" --update "$OUT/v2-setup/DemoSetup2.exe" \
  --version 2 --stamp 2 --expires 30 --settings "$OUT/v2-setup/release.ini" --out "$OUT/www/update" >/dev/null

echo "   starting $PRODUCT (version 1)"
"$KESTRO_WINE" "$TARGET_WIN\\$PRODUCT" </dev/null >"$OUT/product.log" 2>&1 &
product=$!
wait_for 30 "the program's start" product_runs
echo "   $PRODUCT runs (process $product)"

# The user: waits for the question, lets it be photographed, presses Y.
rm -f "$OUT/update-question.rect" "$OUT/box.code" "$AGENT_LOG"
(cd "$OUT" && code=0 && "$KESTRO_WINE" "$WIN/box_answer.exe" "Kestro Demo 2 is out." Y update-question.rect 120 \
   </dev/null >"$OUT/box.txt" 2>"$OUT/box.err" || code=$?; echo $code >"$OUT/box.code") &
echo "   starting the agent: $AGENT /DELAY=0"
agent_started=1
"$KESTRO_WINE" "$TARGET_WIN\\$AGENT" /DELAY=0 </dev/null >"$OUT/agent-run.log" 2>&1 &

wait_for 120 "the update question" test -s "$OUT/update-question.rect" -o -s "$OUT/box.code"
[ -s "$OUT/update-question.rect" ] || fail "no update question: $(cat "$OUT/box.err")"
read -r x y w h <"$OUT/update-question.rect"
import -window root -display "$DISPLAY" -crop "${w}x${h}+${x}+${y}" +repage "$SHOTS/update-question.png"
echo "   the agent asks: $(tr -d '\r' <"$OUT/box.txt" | tr '\n' ' ')"
echo "   screenshot: $SHOTS/update-question.png"
rm -f "$OUT/update-question.rect"
wait_for 30 "the answer" test -s "$OUT/box.code"
[ "$(cat "$OUT/box.code")" = 0 ] || fail "the question was not answered: $(cat "$OUT/box.err")"
echo "   the user answered Yes"

wait_for 120 "the update" log_has 'PerformAutoUpdate() - END'
log_has 'PerformAutoUpdate() - END    Result=TRUE' || fail "the agent reports no successful update"
product_ended() { case "$(ps -o stat= -p "$product" 2>/dev/null)" in '' | Z*) return 0 ;; *) return 1 ;; esac; }
wait_for 10 "the end of version 1 of $PRODUCT" product_ended
wait "$product" || fail "version 1 of $PRODUCT did not end by WM_CLOSE"
echo "   version 1 of $PRODUCT was closed"
wait_for 30 "the restart of $PRODUCT" product_runs
echo "   $PRODUCT runs again (process $(product_pids | xargs))"
# After an update the agent starts the agent file the setup installed,
# which waits ten seconds, starts a new resident copy and waits for its
# window before it ends (the first start's line was the plain file's only
# one too); the new copy is stopped and deletes itself.
wait_for 60 "the agent's restart" log_has 'CreateAndRun_X_Exe() --- End' 2
echo "   the agent started again; stopping it: $AGENT /STOP=0"
stop_agent
wait_for 30 "the agent's end" log_has "=== EXIT === $TARGET_WIN\\X_$AGENT" 2
wait_for 30 "the removal of the agent's copy" test ! -e "$TARGET/X_$AGENT"

grep -F -e 'PerformAutoUpdate() - ' -e 'Release verified' -e 'Shut Down Process() - START' "$AGENT_LOG" | sed 's/^/   agent log: /'
grep -o '"GET /update/[^"]*" [0-9]* [0-9]*' "$OUT/nginx/access.log" | sed 's/^/   nginx: /'
installed=$(sed -n 's/^Version=//p' "$TARGET/demo.ini" | tr -d '\r')
original=$(sed -n 's/^VersionOriginal=//p' "$TARGET/KestroDemo.original" | tr -d '\r')
echo "   installed: demo.ini Version=$installed, KestroDemo.original VersionOriginal=$original"
[ "$installed" = 2.0.0 ] && [ "$original" = 2 ] || fail "version 2 is not what is installed"
[ ! -e "$TARGET/DemoSetup2.exe" ] || fail "the downloaded setup file stayed"
echo "The agent updated Kestro Demo to version 2."
