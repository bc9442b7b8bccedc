// Runs the Windows programs under Wine for the end-to-end tests.
//
//   const player = await startFakePlayer();      // the stand-in music player
//   const relay = await startEdition();          // hotkey_relay_lite, listening on port 80
//   const { data, closedByServer } = await rawRequest('GET /?run_s=... HTTP/1.1\r\n\r\n');
//   await player.waitForChords(1);               // ['J']
//   await relay.stop(); await player.stop(); await stopWine();
//
// Environment: BUILD_WIN (default <repo>/build/win) holds the .exe files,
// fake_player.exe in tests/fake_player/ (FAKE_PLAYER_EXE overrides);
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
import { spawn, spawnSync } from 'node:child_process';
import { existsSync, mkdirSync, mkdtempSync, readFileSync, rmSync } from 'node:fs';
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
  const WINEDLLOVERRIDES = process.env.WINEDLLOVERRIDES ?? 'mscoree,mshtml=';
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
      { env, stdio: 'ignore' },
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

// Starts a Windows program and keeps track of it by its own pid only.
function startWindowsProgram(exe, args) {
  if (!existsSync(exe)) throw new Error(`${exe} not found: build the Windows side first`);
  const child = spawn(WINE, [exe, ...args], { env: wineEnv(), stdio: ['ignore', 'ignore', 'pipe'] });
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

// Starts <BUILD_WIN>/<name>.exe. By default resolves once port 80 accepts
// connections (and refuses to start if something already listens there).
// With expectListening: false (port 80 is someone else's) it waits settleMs
// and resolves if the program is still there.
export async function startEdition(
  name = 'hotkey_relay_lite',
  { expectListening = true, settleMs = 3000, timeoutMs = WINE_START_TIMEOUT_MS, port = CONTROL_PORT } = {},
) {
  await ensureWinePrefix();
  if (expectListening && (await canConnect(port))) {
    throw new Error(`port ${port} already accepts connections before ${name} started`);
  }
  const program = startWindowsProgram(path.join(BUILD_WIN, `${name}.exe`), []);
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
    throw error;
  }
  return {
    pid: program.child.pid,
    isRunning: program.isRunning,
    exited: program.exited,
    stop: program.stop,
  };
}

// ---- raw HTTP ----------------------------------------------------------------

// Sends the bytes as they are (a string goes out as latin1, one byte per
// character) and reads until the server closes or timeoutMs passes.
// closedAt is Date.now() when the close was seen.
export function rawRequest(bytesOrString, { port = CONTROL_PORT, host = '127.0.0.1', timeoutMs = 10_000 } = {}) {
  const bytes = typeof bytesOrString === 'string' ? Buffer.from(bytesOrString, 'latin1') : Buffer.from(bytesOrString);
  return new Promise((resolve, reject) => {
    const chunks = [];
    let connected = false;
    let settled = false;
    const socket = net.connect(port, host);
    const finish = (closedByServer, error) => {
      if (settled) return;
      settled = true;
      clearTimeout(timer);
      socket.destroy();
      const result = { data: Buffer.concat(chunks), closedByServer, closedAt: Date.now() };
      if (error) result.error = error;
      resolve(result);
    };
    const timer = setTimeout(() => finish(false), timeoutMs);
    socket.on('connect', () => {
      connected = true;
      socket.write(bytes);
    });
    socket.on('data', (chunk) => chunks.push(chunk));
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
