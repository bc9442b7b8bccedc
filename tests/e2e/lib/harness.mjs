// Runs the Windows programs under Wine for the end-to-end tests.
//
//   const player = await startFakePlayer();      // the stand-in music player
//   const relay = await startEdition();          // hotkey_relay_lite, listening on port 80
//   const { data, closedByServer } = await rawRequest('GET /?run_s=... HTTP/1.1\r\n\r\n');
//   await player.waitForChords(1);               // ['J']
//   await relay.stop(); await player.stop(); await stopWine();
//
// The full edition, with a song window picked in its window:
//   const song = await startTitleWindow('Song ♫');   // a visible window with that title
//   const relay = await startEdition('hotkey_relay'); // installs the shutdown stand-in first
//   await relayWindow.pick('Song ♫');                // 按钮4, then a double-click on its row
//   relay.shutdownRuns();                            // how the stand-in was started, if it was
//
// Environment: BUILD_WIN (default <repo>/build/win) holds the .exe files,
// the test tools in tests/<tool>/ (fake_player, fake_shutdown, title_window,
// window_driver; FAKE_PLAYER_EXE overrides the player);
// WINEPREFIX (default <repo>/build/wineprefix) is made on first use; DISPLAY
// must name a running X server (Xvfb will do). Port 80 is the programs' own:
// run one test file at a time (node --test --test-concurrency=1).
//
// What Wine decides, and what we do about it:
// - The process started as `wine64 prog.exe` is the Windows program itself, so
//   its pid is the one to signal; Wine's helpers (services.exe, explorer.exe)
//   belong to the wineserver, which stopWine() ends.
// - keybd_event input from one process reaches another's WH_KEYBOARD_LL hook
//   and RegisterHotKey although the player's window stays hidden and never has
//   the focus, and the injecting thread waits for the hook: no focus juggling
//   or visible window is needed, and once a later request is answered every
//   key of an earlier one has been through the hook (which logs it first).
// - The hook sees the generic VK_CONTROL/VK_MENU codes as sent, scan code as
//   sent, and LLKHF_INJECTED set.
// - Wine stops waiting for a low-level hook after about 2 s, so holdMs must
//   stay well below that or the injector runs ahead of the hook.
// - WM_HOTKEY is posted, so its log line may trail the key events by a moment:
//   wait for it (waitForChords) rather than reading it at once.
// - Wine runs its own builtin shutdown.exe even when another file lies at
//   C:\windows\system32\shutdown.exe: a program there that has a builtin twin
//   is loaded builtin first. The override shutdown.exe=native, set both in the
//   prefix's registry and in WINEDLLOVERRIDES, makes the stand-in run instead;
//   installShutdownStandIn() checks that it does before any full edition starts.
// - Wine turns the Unix arguments into the Windows command line through the
//   locale's character set, so the tools get a UTF-8 locale: titles with "♫"
//   or emoji reach title_window and window_driver intact.
// - Real mouse input (SendInput) reaches the program's list box inside the
//   virtual desktop, and two clicks make a double-click there, once the
//   program's window is brought to the front. But Wine's idea of where the
//   pointer is does not follow SetCursorPos, nor a move sent on its own, from
//   window_driver (a program without windows): the X pointer moves, Wine's
//   does not, and clicks land where it was. So every button event that
//   window_driver sends carries its own absolute point.
// - A program killed while it holds a low-level keyboard hook leaves Wine's
//   hook chain cut: hooks installed before it (the player's) no longer see
//   keys. Title windows are therefore closed, not killed, when they stop.
import { spawn, spawnSync } from 'node:child_process';
import { copyFileSync, existsSync, mkdirSync, mkdtempSync, readFileSync, rmSync } from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

export const REPO = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../..');
export const BUILD_WIN = process.env.BUILD_WIN || path.join(REPO, 'build/win');
export const WINEPREFIX = process.env.WINEPREFIX || path.join(REPO, 'build/wineprefix');

// Debian keeps wine64 out of PATH.
const WINE = firstExisting(['/usr/lib/wine/wine64', '/usr/bin/wine64', '/usr/bin/wine']);
const WINESERVER = firstExisting(['/usr/lib/wine/wineserver', '/usr/lib/wine/wineserver64', '/usr/bin/wineserver']);

const WINE_START_TIMEOUT_MS = 60_000; // the first start in a fresh prefix is slow
const STOP_TIMEOUT_MS = 10_000;
const POLL_MS = 20;

function firstExisting(candidates) {
  return candidates.find((file) => existsSync(file)) ?? candidates.at(-1);
}

function wineEnv() {
  if (!process.env.DISPLAY) throw new Error('DISPLAY is not set: start Xvfb and export DISPLAY first');
  // No Mono or Gecko installers: nothing here needs them, and there is no network for them.
  // shutdown.exe=n: the recording stand-in, never Wine's builtin shutdown.exe.
  const WINEDLLOVERRIDES = `${process.env.WINEDLLOVERRIDES ?? 'mscoree,mshtml='};shutdown.exe=n`;
  return { ...process.env, WINEPREFIX, WINEDEBUG: '-all', WINEDLLOVERRIDES };
}

export function sleep(ms) {
  return new Promise((resolve) => setTimeout(resolve, ms));
}

// Polls until check() returns something truthy and resolves to it. what (a
// text, or a function giving one at the time) names it in the timeout error.
export async function waitUntil(check, timeoutMs, what = 'condition') {
  const deadline = Date.now() + timeoutMs;
  for (;;) {
    const value = await check();
    if (value) return value;
    if (Date.now() > deadline) {
      throw new Error(`timed out after ${timeoutMs} ms waiting for ${typeof what === 'function' ? what() : what}`);
    }
    await sleep(POLL_MS);
  }
}

// Wine writes its prefix on first use; two test processes must not both do it.
let prefixReady;
export function ensureWinePrefix() {
  prefixReady ??= new Promise((resolve, reject) => {
    const env = wineEnv();
    if (existsSync(path.join(WINEPREFIX, '.hotkey-relay-ready'))) return resolve();
    mkdirSync(path.dirname(WINEPREFIX), { recursive: true });
    // The same set-up as the run and test scripts: one place says what a prefix holds.
    const init = spawn(
      'flock',
      [`${WINEPREFIX}.init.lock`, 'bash', '-c', 'source "$0/scripts/wine-env.sh" && ensure_wine_prefix', REPO],
      // Its report of a failure goes to our standard error.
      { env, stdio: ['ignore', 'ignore', 'inherit'] },
    );
    init.on('error', reject);
    init.on('exit', (code) =>
      code === 0 ? resolve() : reject(new Error(`preparing the Wine prefix failed (exit ${code}) for ${WINEPREFIX}`)),
    );
  });
  return prefixReady;
}

// Ends every process of our WINEPREFIX, Wine's own helpers included.
export async function stopWine() {
  if (!existsSync(WINEPREFIX)) return;
  spawnSync(WINESERVER, ['-k'], { env: { ...process.env, WINEPREFIX }, stdio: 'ignore' });
}

// A Unix path as Wine's Z: drive shows it.
export function windowsPath(file) {
  return 'Z:' + path.resolve(file).replaceAll('/', '\\');
}

// Starts a Windows program and keeps track of it by its own pid only. env adds
// variables; cwd (a Unix directory) becomes its current directory on drive Z:.
function startWindowsProgram(exe, args, { env = {}, cwd, stdout = 'ignore' } = {}) {
  if (!existsSync(exe)) throw new Error(`${exe} not found: build the Windows side first`);
  const child = spawn(WINE, [exe, ...args], { env: { ...wineEnv(), ...env }, cwd, stdio: ['ignore', stdout, 'pipe'] });
  let stderr = '';
  child.stderr.on('data', (chunk) => (stderr = (stderr + chunk).slice(-4000)));
  const exited = new Promise((resolve) => child.on('exit', (code, signal) => resolve({ code, signal })));
  child.on('error', () => {});
  const isRunning = () => child.exitCode === null && child.signalCode === null;
  return {
    child,
    exited,
    isRunning,
    stderr: () => stderr,
    async stop() {
      if (isRunning()) {
        child.kill('SIGTERM');
        const timer = setTimeout(() => isRunning() && child.kill('SIGKILL'), STOP_TIMEOUT_MS);
        await exited;
        clearTimeout(timer);
      }
      return exited;
    },
  };
}

// ---- the fake music player ---------------------------------------------------

// FAKE_PLAYER_EXE names another build of it.
function fakePlayerExe() {
  if (process.env.FAKE_PLAYER_EXE) return process.env.FAKE_PLAYER_EXE;
  const candidates = [path.join(BUILD_WIN, 'tests/fake_player/fake_player.exe'), path.join(BUILD_WIN, 'fake_player.exe')];
  const found = candidates.find((file) => existsSync(file));
  if (!found) throw new Error(`fake_player.exe is not in ${candidates.join(' or ')}: build with -DBUILD_TESTING=ON`);
  return found;
}

// One log line: "kind t=<ms> name=value ...".
function parseLogLine(line) {
  const [kind, ...fields] = line.split(' ');
  const entry = { kind };
  for (const field of fields) {
    const eq = field.indexOf('=');
    if (eq > 0) entry[field.slice(0, eq)] = field.slice(eq + 1);
  }
  return entry;
}

function toKeyEvent(entry) {
  return {
    t: Number(entry.t),
    vk: Number(entry.vk),
    scan: Number(entry.scan),
    down: entry.state === 'down',
    injected: entry.injected === '1',
    flags: Number(entry.flags),
  };
}

function toHotkey(entry) {
  return { t: Number(entry.t), id: Number(entry.id), letter: entry.key, vk: Number(entry.vk), mods: Number(entry.mods) };
}

// Starts fake_player.exe and resolves once its hot keys and hook are in place.
// holdMs keeps every key event in the hook that long, so that whatever the
// injecting program does before its chord shows clearly before the first key.
export async function startFakePlayer({ holdMs = 0, timeoutMs = WINE_START_TIMEOUT_MS } = {}) {
  const exe = fakePlayerExe();
  await ensureWinePrefix();
  const dir = mkdtempSync(path.join(os.tmpdir(), 'fake-player-'));
  const logFile = path.join(dir, 'player.log');
  const args = [windowsPath(logFile)];
  if (holdMs > 0) args.push('--hold-ms', String(holdMs));
  const program = startWindowsProgram(exe, args);

  // Only whole lines: the player writes each with one call, but a read can
  // still land in the middle of one.
  const entries = () => {
    let text;
    try {
      text = readFileSync(logFile, 'latin1');
    } catch {
      return [];
    }
    return text.slice(0, text.lastIndexOf('\n') + 1).split('\n').filter(Boolean).map(parseLogLine);
  };

  try {
    await waitUntil(
      () => {
        const found = entries().find((e) => e.kind === 'ready' || e.kind === 'error');
        if (found?.kind === 'error') {
          throw new Error(`fake_player could not start: ${found.what} failed` +
            `${found.key ? ` for Ctrl+Alt+${found.key}` : ''} (error ${found.code})`);
        }
        if (!found && !program.isRunning()) {
          throw new Error(`fake_player exited (code ${program.child.exitCode}) before it was ready\n${program.stderr()}`);
        }
        return found;
      },
      timeoutMs,
      'fake_player to get ready',
    );
  } catch (error) {
    await program.stop();
    rmSync(dir, { recursive: true, force: true });
    throw error;
  }

  const keyEvents = () => entries().filter((e) => e.kind === 'key').map(toKeyEvent);
  const hotkeys = () => entries().filter((e) => e.kind === 'hotkey').map(toHotkey);
  const chords = () => hotkeys().map((h) => h.letter);
  return {
    pid: program.child.pid,
    logFile,
    keyEvents,
    hotkeys,
    chords,
    isRunning: program.isRunning,
    // Resolves to chords() once it holds at least n letters.
    waitForChords: (n, timeoutMs = 10_000) =>
      waitUntil(() => {
        const letters = chords();
        return letters.length >= n && letters;
      }, timeoutMs, () => `${n} chord(s), have [${chords()}]`),
    async stop() {
      await program.stop();
      rmSync(dir, { recursive: true, force: true });
    },
  };
}

// ---- the editions ------------------------------------------------------------

export const CONTROL_PORT = 80;

function canConnect(port, host = '127.0.0.1') {
  return new Promise((resolve) => {
    const socket = net.connect(port, host);
    socket.once('connect', () => {
      socket.destroy();
      resolve(true);
    });
    socket.once('error', () => resolve(false));
  });
}

// Starts <BUILD_WIN>/<name>.exe (or exe, a copy of it elsewhere; cwd is its
// current directory). By default resolves once port 80 accepts connections
// (and refuses to start if something already listens there). With
// expectListening: false (port 80 is someone else's) it waits settleMs and
// resolves if the program is still there.
//
// Every edition but the simple one can start the system's shutdown command, so
// for those the recording stand-in is installed first, always, and the runs it
// records while this program lives are shutdownRuns().
export async function startEdition(
  name = 'hotkey_relay_lite',
  { expectListening = true, settleMs = 3000, timeoutMs = WINE_START_TIMEOUT_MS, port = CONTROL_PORT, exe, cwd } = {},
) {
  await ensureWinePrefix();
  const canShutDown = name !== 'hotkey_relay_lite';
  if (canShutDown) await installShutdownStandIn();
  if (expectListening && (await canConnect(port))) {
    throw new Error(`port ${port} already accepts connections before ${name} started`);
  }
  const logDir = mkdtempSync(path.join(os.tmpdir(), 'shutdown-log-'));
  const shutdownLog = path.join(logDir, 'shutdown.log');
  const program = startWindowsProgram(exe ?? path.join(BUILD_WIN, `${name}.exe`), [], {
    env: { SHUTDOWN_LOG: windowsPath(shutdownLog) },
    cwd,
  });
  const exitedEarly = () => {
    if (!program.isRunning()) {
      throw new Error(`${name} exited (code ${program.child.exitCode}, signal ${program.child.signalCode})\n${program.stderr()}`);
    }
  };
  try {
    if (expectListening) {
      await waitUntil(async () => exitedEarly() || (await canConnect(port)), timeoutMs, `${name} to listen on port ${port}`);
    } else {
      await sleep(settleMs);
      exitedEarly();
    }
  } catch (error) {
    await program.stop();
    rmSync(logDir, { recursive: true, force: true });
    throw error;
  }
  const shutdownRuns = () => readJsonLines(shutdownLog);
  return {
    pid: program.child.pid,
    isRunning: program.isRunning,
    exited: program.exited,
    stderr: program.stderr,
    shutdownLog,
    // Each start of the stand-in: { module, commandLine, currentDirectory, pid, t }.
    shutdownRuns,
    waitForShutdownRuns: (n, timeoutMs = 10_000) =>
      waitUntil(() => shutdownRuns().length >= n && shutdownRuns(), timeoutMs, `${n} run(s) of the shutdown stand-in`),
    async stop() {
      const result = await program.stop();
      rmSync(logDir, { recursive: true, force: true });
      return result;
    },
  };
}

// One JSON value per whole line; a missing file has none.
function readJsonLines(file) {
  let text;
  try {
    text = readFileSync(file, 'utf8');
  } catch {
    return [];
  }
  return text.slice(0, text.lastIndexOf('\n') + 1).split('\n').filter(Boolean).map((line) => JSON.parse(line));
}

// ---- the shutdown stand-in ---------------------------------------------------

// Where the system's shutdown command lives, as the Windows programs see it and on disk.
export const SYSTEM_SHUTDOWN = 'C:\\windows\\system32\\shutdown.exe';
const systemShutdownFile = () => path.join(WINEPREFIX, 'drive_c/windows/system32/shutdown.exe');

// A test tool built with the Windows side: <BUILD_WIN>/tests/<name>/<name>.exe.
export function toolExe(name) {
  const candidates = [path.join(BUILD_WIN, 'tests', name, `${name}.exe`), path.join(BUILD_WIN, `${name}.exe`)];
  const found = candidates.find((file) => existsSync(file));
  if (!found) throw new Error(`${name}.exe is not in ${candidates.join(' or ')}: build with -DBUILD_TESTING=ON`);
  return found;
}

// Puts the recording stand-in in place of the prefix's shutdown.exe and proves,
// once per test process, that Wine really runs it there: a run started by its
// full system path must leave its record. Throws otherwise, so no test goes on
// with Wine's own shutdown.exe in place.
let standInChecked = false;
export async function installShutdownStandIn() {
  await ensureWinePrefix();
  const standIn = readFileSync(toolExe('fake_shutdown'));
  const target = systemShutdownFile();
  let current;
  try {
    current = readFileSync(target);
  } catch {
    current = null;
  }
  if (!current || !current.equals(standIn)) copyFileSync(toolExe('fake_shutdown'), target);
  if (standInChecked) return;

  const reg = spawnSync(WINE, ['reg', 'add', 'HKCU\\Software\\Wine\\DllOverrides', '/v', 'shutdown.exe', '/d', 'native', '/f'], {
    env: wineEnv(),
    stdio: 'ignore',
    timeout: WINE_START_TIMEOUT_MS,
  });
  if (reg.status !== 0) throw new Error(`setting the shutdown.exe override failed (exit ${reg.status})`);

  const dir = mkdtempSync(path.join(os.tmpdir(), 'shutdown-check-'));
  try {
    const log = path.join(dir, 'check.log');
    // A real shutdown.exe would take "/?" for its help text and shut nothing down.
    const run = spawnSync(WINE, [SYSTEM_SHUTDOWN, '/?'], {
      env: { ...wineEnv(), SHUTDOWN_LOG: windowsPath(log) },
      stdio: 'ignore',
      timeout: WINE_START_TIMEOUT_MS,
    });
    const [record] = readJsonLines(log);
    if (run.status !== 0 || record?.module?.toLowerCase() !== SYSTEM_SHUTDOWN.toLowerCase()) {
      throw new Error(`Wine did not run the shutdown stand-in at ${SYSTEM_SHUTDOWN} (exit ${run.status}, record ${JSON.stringify(record)})`);
    }
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
  standInChecked = true;
}

// ---- windows with a chosen title ---------------------------------------------

// The tools read texts from the Windows command line, which Wine builds
// through the locale's character set.
const toolEnv = () => ({ LC_ALL: 'C.UTF-8' });

// A visible top-level window titled title, standing in for the player's window.
// at: [x, y] on the desktop. retitleOnKey: { letter, delayMs, title }: the
// window takes that title delayMs after the key letter is released. count: n
// windows titled "<title> 1" to "<title> n" instead, the first lowest; hwnd
// and the title operations are then those of the first.
export async function startTitleWindow(title, { at, count, retitleOnKey, timeoutMs = WINE_START_TIMEOUT_MS } = {}) {
  await ensureWinePrefix();
  const args = [title];
  if (at) args.push('--at', `${at[0]},${at[1]}`);
  if (count) args.push('--count', String(count));
  if (retitleOnKey) args.push('--retitle-on-key', retitleOnKey.letter, String(retitleOnKey.delayMs), retitleOnKey.title);
  const program = startWindowsProgram(toolExe('title_window'), args, { env: toolEnv(), stdout: 'pipe' });
  let out = '';
  program.child.stdout.setEncoding('utf8');
  program.child.stdout.on('data', (chunk) => (out += chunk));
  let ready;
  try {
    ready = await waitUntil(
      () => {
        if (!program.isRunning()) throw new Error(`title_window exited early\n${program.stderr()}`);
        const line = out.split('\n').find((l) => l.startsWith('{'));
        return line && JSON.parse(line);
      },
      timeoutMs,
      'title_window to show its window',
    );
  } catch (error) {
    await program.stop();
    throw error;
  }
  const { hwnd } = ready;
  let hung = false;
  return {
    hwnd,
    pid: program.child.pid,
    isRunning: program.isRunning,
    title: async () => (await driveWindow('title', String(hwnd))).title,
    setTitle: async (text) => (await driveWindow('set-title', String(hwnd), text)).title,
    // The window's thread stops answering for good.
    hang: async () => {
      await driveWindow('hang', String(hwnd));
      hung = true;
    },
    // Closes the window so that the program removes its keyboard hook on the
    // way out: under Wine a hook left by a killed process cuts off the hooks
    // installed before it. A window that does not answer is killed.
    async stop() {
      if (program.isRunning() && !hung) {
        await driveWindow('close', String(hwnd)).catch(() => {});
        const closed = await Promise.race([program.exited.then(() => true), sleep(5_000).then(() => false)]);
        if (!closed) await program.stop();
      }
      return program.stop();
    },
  };
}

// ---- acting on the relay's window --------------------------------------------

// Runs window_driver with args and resolves to its JSON answer; an answer
// {"error":...} rejects.
export function driveWindow(...args) {
  return new Promise((resolve, reject) => {
    const child = spawn(WINE, [toolExe('window_driver'), ...args], {
      env: { ...wineEnv(), ...toolEnv() },
      stdio: ['ignore', 'pipe', 'pipe'],
    });
    let out = '';
    let err = '';
    child.stdout.setEncoding('utf8');
    child.stdout.on('data', (chunk) => (out += chunk));
    child.stderr.on('data', (chunk) => (err = (err + chunk).slice(-2000)));
    child.on('error', reject);
    child.on('exit', () => {
      const line = out.trim().split('\n').at(-1);
      let answer;
      try {
        answer = JSON.parse(line);
      } catch {
        return reject(new Error(`window_driver ${args.join(' ')}: no answer (${out}${err})`));
      }
      if (answer.error) return reject(new Error(`window_driver ${args.join(' ')}: ${answer.error} (code ${answer.code})`));
      resolve(answer);
    });
  });
}

// The controls of the relay's window by their index in its control table (the
// child-window identifier is 1000 more).
export const CONTROLS = Object.freeze({
  groupBox: 0,
  testButton: 1,
  exitButton: 2,
  passwordCaption: 3,
  fillPicker: 4,
  passwordBox: 21,
  handleBox: 22,
  pickerList: 23,
});

export const relayWindow = {
  find: () => driveWindow('find'),
  click: (id) => driveWindow('click', String(id)),
  text: async (id) => (await driveWindow('get-text', String(id))).text,
  setText: async (id, text) => (await driveWindow('set-text', String(id), text)).text,
  state: (id) => driveWindow('state', String(id)),
  items: () => driveWindow('items'),
  // Clicks 按钮4, then double-clicks the row titled title in 列表框1: with real
  // mouse input by default, via: 'notify' by the list box's notification.
  pick: (title, { via = 'mouse' } = {}) => driveWindow('pick', title, '--via', via),
};

// ---- raw HTTP ----------------------------------------------------------------

// Sends the bytes as they are (a string goes out as latin1, one byte per
// character) and reads until the server closes or timeoutMs passes.
// closedAt is Date.now() when the close was seen, firstDataAt when the first
// answer byte came (undefined without any).
//
// An array sends its parts as separate writes, pauseMs apart, the way a
// browser that writes a form's header block and its body separately does;
// sentAt holds the time of each write. A part's write waits for nothing the
// server says, so an early answer shows in firstDataAt.
export function rawRequest(
  bytesOrString,
  { port = CONTROL_PORT, host = '127.0.0.1', timeoutMs = 10_000, pauseMs = 500 } = {},
) {
  const toBytes = (part) => (typeof part === 'string' ? Buffer.from(part, 'latin1') : Buffer.from(part));
  const parts = Array.isArray(bytesOrString) ? bytesOrString.map(toBytes) : [toBytes(bytesOrString)];
  return new Promise((resolve, reject) => {
    const chunks = [];
    const sentAt = [];
    let firstDataAt;
    let connected = false;
    let settled = false;
    let pauseTimer;
    const socket = net.connect(port, host);
    const finish = (closedByServer, error) => {
      if (settled) return;
      settled = true;
      clearTimeout(timer);
      clearTimeout(pauseTimer);
      socket.destroy();
      const result = { data: Buffer.concat(chunks), closedByServer, closedAt: Date.now(), firstDataAt, sentAt };
      if (error) result.error = error;
      resolve(result);
    };
    const timer = setTimeout(() => finish(false), timeoutMs);
    const writePart = (index) => {
      if (settled || index >= parts.length) return;
      socket.write(parts[index]);
      sentAt.push(Date.now());
      pauseTimer = setTimeout(() => writePart(index + 1), pauseMs);
    };
    socket.on('connect', () => {
      connected = true;
      socket.setNoDelay(true);
      writePart(0);
    });
    socket.on('data', (chunk) => {
      firstDataAt ??= Date.now();
      chunks.push(chunk);
    });
    socket.on('end', () => finish(true));
    socket.on('error', (error) => {
      if (!connected) {
        settled = true;
        clearTimeout(timer);
        reject(error);
      } else {
        finish(true, error); // a reset is the server's close too
      }
    });
  });
}

// ---- what the player heard of one request ------------------------------------

// Sends the request and returns its answer with the key events and hot keys
// that came with it. The programs serve one request at a time and keybd_event
// returns only after the player's hook has logged the key, so once the plain
// page request that follows is answered, every key of this one is in the log.
export async function exchange(player, request, options) {
  const keysBefore = player.keyEvents().length;
  const hotkeysBefore = player.hotkeys().length;
  const answer = await rawRequest(request, options);
  const barrierAnswer = await rawRequest('GET / HTTP/1.0\r\n\r\n');
  return {
    answer,
    barrierAnswer,
    keys: player.keyEvents().slice(keysBefore),
    // WM_HOTKEY is posted, so its line may trail the keys.
    chords: async (n) => {
      if (n > 0) await waitUntil(() => player.hotkeys().length >= hotkeysBefore + n, 10_000, `${n} hot key(s)`);
      return player.hotkeys().slice(hotkeysBefore).map((h) => h.letter);
    },
  };
}

// ---- screenshots ---------------------------------------------------------------

// The whole X display as a PNG, for a person to look at.
export function screenshot(file) {
  mkdirSync(path.dirname(file), { recursive: true });
  const result = spawnSync('import', ['-window', 'root', file], { env: process.env, encoding: 'utf8' });
  if (result.status !== 0) throw new Error(`import failed: ${result.stderr}`);
  return file;
}

// How many colours an area of a PNG holds: a drawn window has many, an empty desktop one.
export function colourCount(file, { x, y, width, height }) {
  const result = spawnSync('convert', [file, '-crop', `${width}x${height}+${x}+${y}`, '-format', '%k', 'info:'], {
    encoding: 'utf8',
  });
  if (result.status !== 0) throw new Error(`convert failed: ${result.stderr}`);
  return Number(result.stdout.trim());
}
