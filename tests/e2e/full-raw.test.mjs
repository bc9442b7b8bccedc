// hotkey_relay over raw TCP: the fake player listens for the chords, a test
// window stands in for the player's window and is picked as the song source
// through the program's own picker, and the shutdown command is the recording
// stand-in.
//
//   DISPLAY=:NN node --test --test-concurrency=1 tests/e2e/full-raw.test.mjs
//
// Needs the Windows build (BUILD_WIN) with its test tools, a running X server
// and port 80.
import assert from 'node:assert/strict';
import { copyFileSync, mkdtempSync, rmSync } from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';

import {
  BUILD_WIN,
  CONTROLS,
  exchange,
  SYSTEM_SHUTDOWN,
  rawRequest,
  relayWindow,
  startEdition,
  startFakePlayer,
  startTitleWindow,
  stopWine,
  toolExe,
} from './lib/harness.mjs';
import { ANSWER_HEADER, BUTTONS, SHUTDOWN_TOKEN } from './lib/buttons.mjs';

const [J, P, K, U] = BUTTONS.map((b) => b.token);
const SHUTDOWN = SHUTDOWN_TOKEN;
const DEFAULT_PASSWORD = '7395';
const SHUTDOWN_COMMAND_LINE = 'shutdown -s -t 0';

const HEADER = ANSWER_HEADER;
const TITLE_OPEN = Buffer.from('<p style="font-size:30px;color:#ff0000"><b>');
const TITLE_CLOSE = Buffer.from('</b></p><p style="font-size:40px"><b>Tavrelo</b></p>');
const CONTROL_PAGE_BYTES_WITHOUT_TITLE = 2117;
const SHUTDOWN_DONE_BYTES = 135;
const WRONG_PASSWORD_BYTES = 131;
const ALERT_PAGE_START = '<html>\r\n<head>\r\n<script>\r\n';
const gbk = (token) => Buffer.from(token.replaceAll('%', ''), 'hex');
const ALERT_DONE = Buffer.concat([Buffer.from('alert("'), gbk('%B9%D8%BB%FA%D6%B4%D0%D0%B3%C9%B9%A6%A3%A1'), Buffer.from('");')]); // 关机执行成功！
const ALERT_WRONG = Buffer.concat([Buffer.from('alert("'), gbk('%C3%DC%C2%EB%B4%ED%CE%F3%A3%A1'), Buffer.from('");')]); // 密码错误！

const PAUSE_MS = 300;
const CLOCK_SLACK_MS = 2; // Date.now() is whole milliseconds
const NO_ANSWER_WAIT_MS = 1500;

const SONG = 'Test Song - Artist';

const post = (body, { method = 'POST', path: target = '/', headers = '' } = {}) =>
  `${method} ${target} HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/x-www-form-urlencoded\r\n` +
  `Content-Length: ${Buffer.byteLength(body, 'latin1')}\r\n${headers}\r\n${body}`;
const press = (token, password = '') => post(`run_s=${token}&psw_s=${password}`);
const get = (target = '/') => `GET ${target} HTTP/1.1\r\nHost: 127.0.0.1\r\nAccept: text/html\r\n\r\n`;
const GET_PAGE = 'GET / HTTP/1.0\r\n\r\n';

// ---- reading answers -----------------------------------------------------------

// The one header block, then what follows it.
function bodyOf(answer) {
  assert.ok(answer.closedByServer, 'the server closes the connection after its answer');
  assert.ok(answer.data.subarray(0, HEADER.length).equals(HEADER), `header block: ${JSON.stringify(answer.data.subarray(0, 120).toString('latin1'))}`);
  const body = answer.data.subarray(HEADER.length);
  assert.equal(body.indexOf('HTTP/1.0'), -1, 'no second header block');
  return body;
}

// A whole control page: its raw title bytes.
function controlPageTitle(page) {
  const text = page.toString('latin1');
  assert.ok(text.startsWith('<html>\r\n <head>\r\n'), 'the control page starts the document');
  assert.ok(text.endsWith('   </html>'), 'the control page ends with its closing tag and nothing after it');
  assert.match(text, /<title>Tavrelo<\/title>/);
  for (const { name, token } of [...BUTTONS, { name: 'shutdown', token: SHUTDOWN }])
    assert.ok(page.includes(gbk(token)), `the page offers the ${name} button`);
  const start = page.indexOf(TITLE_OPEN);
  const end = page.indexOf(TITLE_CLOSE);
  assert.ok(start > 0 && end > start, 'the title line is in place');
  const title = page.subarray(start + TITLE_OPEN.length, end);
  assert.equal(page.length, CONTROL_PAGE_BYTES_WITHOUT_TITLE + title.length, 'page length');
  return title;
}

const ENTITIES = { lt: '<', gt: '>', amp: '&', quot: '"', apos: "'" };
const gbkDecoder = new TextDecoder('gbk', { fatal: true });

// The title as a browser shows it: GBK text with character references. Also
// checks that nothing in it can be read as markup.
function shownTitle(raw) {
  const text = raw.toString('latin1');
  assert.doesNotMatch(text, /[<>"']/, `markup characters are escaped in ${JSON.stringify(text)}`);
  const reference = /&(?:#(\d+)|#x([0-9a-f]+)|(lt|gt|amp|quot|apos));/gi;
  assert.doesNotMatch(text.replace(reference, ''), /&/, `every "&" starts a reference in ${JSON.stringify(text)}`);
  let shown = '';
  let last = 0;
  for (const match of text.matchAll(reference)) {
    shown += gbkDecoder.decode(raw.subarray(last, match.index));
    shown += match[3] ? ENTITIES[match[3].toLowerCase()] : String.fromCodePoint(parseInt(match[1] ?? match[2], match[1] ? 10 : 16));
    last = match.index + match[0].length;
  }
  return shown + gbkDecoder.decode(raw.subarray(last));
}

function assertControlPage(answer, title) {
  const raw = controlPageTitle(bodyOf(answer));
  assert.equal(shownTitle(raw), title, 'the title on the page');
  return raw;
}

function assertRefused(answer, title) {
  const body = bodyOf(answer);
  const alert = body.subarray(0, WRONG_PASSWORD_BYTES);
  assert.ok(alert.toString('latin1').startsWith(ALERT_PAGE_START), 'the wrong-password page comes first');
  assert.ok(alert.includes(ALERT_WRONG), 'it raises the wrong-password alert');
  assert.ok(alert.toString('latin1').endsWith('</html>'));
  assert.equal(shownTitle(controlPageTitle(body.subarray(WRONG_PASSWORD_BYTES))), title, 'then the control page');
}

function assertShutdownDone(answer) {
  const body = bodyOf(answer);
  assert.equal(body.length, SHUTDOWN_DONE_BYTES, 'the shutdown-done page alone');
  assert.ok(body.toString('latin1').startsWith(ALERT_PAGE_START));
  assert.ok(body.includes(ALERT_DONE), 'it raises the shutdown-done alert');
  assert.ok(body.toString('latin1').endsWith('</html>'));
}

function assertNoAnswer(answer) {
  assert.equal(answer.closedByServer, false, 'the connection stays open');
  assert.equal(answer.data.length, 0, `no answer, got ${JSON.stringify(answer.data.subarray(0, 80).toString('latin1'))}`);
}

// ---- the chord as the player saw it ----------------------------------------------

const VK_CONTROL = 0x11;
const VK_MENU = 0x12;

function assertOneChord(keys, letter) {
  const code = letter.charCodeAt(0);
  assert.deepEqual(
    keys.map((k) => [k.vk, k.down ? 'down' : 'up']),
    [[VK_CONTROL, 'down'], [VK_MENU, 'down'], [code, 'down'], [VK_CONTROL, 'up'], [VK_MENU, 'up'], [code, 'up']],
    `exactly one Ctrl+Alt+${letter}`,
  );
}

async function assertPlayedOnce(exchanged, letter) {
  assertOneChord(exchanged.keys, letter);
  assert.deepEqual(await exchanged.chords(1), [letter]);
}

async function assertPlayedNothing(exchanged) {
  assert.deepEqual(exchanged.keys, [], 'no key events');
  assert.deepEqual(await exchanged.chords(0), [], 'no hot keys');
}

// ---- one running program with a picked song window ------------------------------

describe('hotkey_relay with a player and a picked song window', () => {
  let player;
  let song;
  let relay;
  let atStart;
  let pick;

  before(async () => {
    player = await startFakePlayer();
    song = await startTitleWindow(SONG, { at: [20, 20] });
    relay = await startEdition('hotkey_relay');
    atStart = {
      page: await rawRequest(GET_PAGE),
      list: await relayWindow.state(CONTROLS.pickerList),
      handleBox: await relayWindow.state(CONTROLS.handleBox),
      handleText: await relayWindow.text(CONTROLS.handleBox),
      password: await relayWindow.text(CONTROLS.passwordBox),
    };
    pick = await relayWindow.pick(SONG);
  });
  after(async () => {
    await relay?.stop();
    await song?.stop();
    await player?.stop();
  });

  // Makes the song window the picked one again, after a test picked another.
  const pickSong = async () => {
    await song.setTitle(SONG);
    await relayWindow.pick(SONG);
  };

  test('the title line is empty until a window is picked; a double-click in the picker takes the window', async () => {
    assert.equal(atStart.list.visible, false, 'the list is hidden at start');
    assert.equal(atStart.handleText, '', 'no window chosen at start');
    assert.equal(atStart.handleBox.enabled, false, 'the handle box takes no input');
    assert.equal(atStart.password, DEFAULT_PASSWORD, 'the default password');
    assert.equal(controlPageTitle(bodyOf(atStart.page)).length, 0);
    assert.equal(pick.value, song.hwnd, 'the row carries the window handle');
    assert.equal(pick.handleText, String(song.hwnd), 'the handle box shows the handle in decimal');
    assert.equal(pick.listVisible, false, 'the list hides after the pick');
    assert.equal(await relayWindow.text(CONTROLS.handleBox), String(song.hwnd));
    assertControlPage(await rawRequest(GET_PAGE), SONG);
  });

  test('each command, posted, plays its chord once and answers at least 300 ms later with the title', async (t) => {
    for (const { name, token, letter } of BUTTONS) {
      await t.test(`${name} → Ctrl+Alt+${letter}`, async () => {
        const exchanged = await exchange(player, press(token));
        await assertPlayedOnce(exchanged, letter);
        assertControlPage(exchanged.answer, SONG);
        const chordEnd = exchanged.keys.at(-1).t;
        assert.ok(
          exchanged.answer.firstDataAt >= chordEnd + PAUSE_MS - CLOCK_SLACK_MS,
          `answered ${(exchanged.answer.firstDataAt - chordEnd).toFixed(1)} ms after the chord`,
        );
      });
    }
  });

  const REQUESTS = [
    { name: 'GET', request: GET_PAGE, answer: 'page' },
    { name: 'GET of a site icon', request: get('/favicon.ico'), answer: 'page' },
    { name: 'GET carrying a command token', request: get(`/?run_s=${J}`), answer: 'page' },
    { name: 'POST of a command with "GET" in a header', request: post(`run_s=${U}`, { headers: 'X-Was: GET\r\n' }), answer: 'page', plays: 'U' },
    { name: 'POST of two commands, the later row first', request: press(`${K}&run_s=${J}`), answer: 'page', plays: 'J' },
    { name: 'POST of a command with the right password and shutdown', request: post(`run_s=${P}&run_s=${SHUTDOWN}&psw_s=${DEFAULT_PASSWORD}`), answer: 'page', plays: 'P' },
    { name: 'POST with no known value', request: post('run_s=x&psw_s='), answer: 'none' },
    { name: 'POST without a body', request: 'POST / HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 0\r\n\r\n', answer: 'none' },
    { name: 'POST of a token with lower-case hex', request: press(J.toLowerCase()), answer: 'none' },
    { name: 'lower-case "post"', request: post(`run_s=${J}`, { method: 'post' }), answer: 'none' },
    { name: 'lower-case "get"', request: 'get / HTTP/1.0\r\n\r\n', answer: 'none' },
  ];

  test('what each request gets: the page, a chord, or no answer with the connection left open', async (t) => {
    for (const { name, request, answer, plays } of REQUESTS) {
      await t.test(`${name} → ${answer === 'page' ? 'control page' : 'no answer'}${plays ? `, Ctrl+Alt+${plays}` : ''}`, async () => {
        const exchanged = await exchange(player, request, { timeoutMs: answer === 'none' ? NO_ANSWER_WAIT_MS : 10_000 });
        if (answer === 'page') assertControlPage(exchanged.answer, SONG);
        else assertNoAnswer(exchanged.answer);
        if (plays) await assertPlayedOnce(exchanged, plays);
        else await assertPlayedNothing(exchanged);
      });
    }
    assert.ok(relay.isRunning(), 'the program still runs');
    assert.deepEqual(relay.shutdownRuns(), [], 'no shutdown command was started');
  });

  // A form POST in pieces, as Safari (and Chromium for large forms) writes it.
  const body = `run_s=${K}&psw_s=`;
  const headerBlock = `POST / HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/x-www-form-urlencoded\r\nContent-Length: ${body.length}\r\n\r\n`;
  const SPLITS = [
    { name: 'header block, then body', parts: [headerBlock, body] },
    { name: 'header block cut after the request line', parts: [headerBlock.slice(0, 17), headerBlock.slice(17) + body] },
    { name: 'body cut inside the token', parts: [headerBlock + body.slice(0, 12), body.slice(12)] },
    { name: 'three pieces', parts: [headerBlock.slice(0, 30), headerBlock.slice(30), body] },
  ];

  test('a POST that arrives in pieces plays once, answered after its last piece', async (t) => {
    for (const { name, parts } of SPLITS) {
      await t.test(name, async () => {
        const exchanged = await exchange(player, parts, { pauseMs: 500 });
        await assertPlayedOnce(exchanged, 'K');
        assertControlPage(exchanged.answer, SONG);
        assert.ok(exchanged.answer.firstDataAt >= exchanged.answer.sentAt.at(-1), 'no answer before the last piece');
      });
    }

    await t.test('another connection meanwhile is answered by itself', async () => {
      const keysBefore = player.keyEvents().length;
      const inPieces = rawRequest([headerBlock, body], { pauseMs: 1_000 });
      await new Promise((resolve) => setTimeout(resolve, 300));
      const meanwhile = await rawRequest(GET_PAGE);
      const pieced = await inPieces;
      assertControlPage(meanwhile, SONG);
      assert.ok(meanwhile.firstDataAt < pieced.sentAt[1], 'the other connection did not wait for the body');
      assertControlPage(pieced, SONG);
      await rawRequest(GET_PAGE);
      assertOneChord(player.keyEvents().slice(keysBefore), 'K');
    });

    await t.test('a body larger than announced is judged once 64 KiB have gathered', async () => {
      const large = `run_s=${K}&psw_s=&pad=${'x'.repeat(70 * 1024)}`;
      const request = `POST / HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: ${large.length + 100_000}\r\n\r\n${large}`;
      const exchanged = await exchange(player, request);
      await assertPlayedOnce(exchanged, 'K');
      assertControlPage(exchanged.answer, SONG);
    });

    await t.test('the kept start of a request is forgotten when its connection leaves', async () => {
      const keysBefore = player.keyEvents().length;
      const unfinished = `POST / HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 40\r\n\r\nrun_s=${J}`;
      assertNoAnswer(await rawRequest(unfinished, { timeoutMs: NO_ANSWER_WAIT_MS }));
      // A new connection can get the same socket number; its request is judged by itself.
      for (let i = 0; i < 3; i++) assertControlPage(await rawRequest(GET_PAGE), SONG);
      assert.deepEqual(player.keyEvents().slice(keysBefore), [], 'nothing played');
    });
  });

  test('the picker lists every visible titled window, more than 64 of them', async () => {
    // Made first, "Crowd 1" lies below the other 69 and below every window made before.
    const crowd = await startTitleWindow('Crowd', { at: [20, 460], count: 70 });
    try {
      const picked = await relayWindow.pick('Crowd 1');
      assert.equal(picked.value, crowd.hwnd);
      assert.ok(picked.items.length > 70, `${picked.items.length} rows`);
      assertControlPage(await rawRequest(GET_PAGE), 'Crowd 1');
    } finally {
      await crowd.stop();
      await pickSong();
    }
  });

  test('the title is read after the pause that follows the chord', async () => {
    // The window retitles itself 150 ms after the chord's last key: a title
    // read before the chord, or right after it, is still the old one.
    const changing = await startTitleWindow('before the pause', {
      at: [20, 130],
      retitleOnKey: { letter: 'K', delayMs: 150, title: 'after the pause' },
    });
    try {
      await relayWindow.pick('before the pause');
      const exchanged = await exchange(player, press(K));
      await assertPlayedOnce(exchanged, 'K');
      assertControlPage(exchanged.answer, 'after the pause');
    } finally {
      await changing.stop();
      await pickSong();
    }
  });

  const TITLES = [
    { name: 'markup characters', title: `A <b>song</b> & "quotes" 'too'` },
    { name: 'Chinese in GBK', title: '周杰伦 - 晴天' },
    { name: 'characters outside GBK', title: '♫ 晴天 🎵', references: ['&#9835;', '&#127925;'] },
    { name: 'long', title: `${'长'.repeat(1500)}!` },
    { name: 'empty', title: '' },
  ];

  test('the title is shown as the PC shows it, escaped, with references for what GBK cannot hold', async (t) => {
    try {
      for (const { name, title, references = [] } of TITLES) {
        await t.test(name, async () => {
          assert.equal(await song.setTitle(title), title);
          const raw = assertControlPage(await rawRequest(GET_PAGE), title);
          for (const reference of references) assert.ok(raw.includes(reference), `${reference} in ${raw.toString('latin1')}`);
          // A command's answer reads the title the same way.
          const exchanged = await exchange(player, press(J));
          await assertPlayedOnce(exchanged, 'J');
          assertControlPage(exchanged.answer, title);
        });
      }
    } finally {
      await song.setTitle(SONG);
    }
  });

  test('a picked window that has closed, or does not answer, gives an empty title at once', async (t) => {
    await t.test('closed', async () => {
      const gone = await startTitleWindow('closing soon', { at: [20, 240] });
      await relayWindow.pick('closing soon');
      await gone.stop();
      assertControlPage(await rawRequest(GET_PAGE), '');
    });
    await t.test('not answering', async () => {
      const hung = await startTitleWindow('hanging soon', { at: [20, 350] });
      try {
        await relayWindow.pick('hanging soon');
        await hung.hang();
        // An unbounded wait would never answer.
        assertControlPage(await rawRequest(GET_PAGE, { timeoutMs: 5_000 }), '');
        const exchanged = await exchange(player, press(P), { timeoutMs: 5_000 });
        await assertPlayedOnce(exchanged, 'P');
        assertControlPage(exchanged.answer, '');
      } finally {
        await hung.stop();
      }
    });
    await pickSong();
    assertControlPage(await rawRequest(GET_PAGE), SONG);
  });

  const WRONG_PASSWORDS = [
    { name: 'another password', password: '1234' },
    { name: 'the right one cut short', password: '739' },
    { name: 'the right one and a digit more', password: '73951' },
    { name: 'the right one and an encoded character', password: '7395%41' },
    { name: 'none', password: '' },
  ];

  test('a shutdown press without the right password gets the alert, then the page, on one connection', async (t) => {
    for (const { name, password } of WRONG_PASSWORDS) {
      await t.test(`POST, ${name}`, async () => {
        const exchanged = await exchange(player, press(SHUTDOWN, password));
        assertRefused(exchanged.answer, SONG);
        await assertPlayedNothing(exchanged);
      });
    }
    await t.test('GET, another password', async () => {
      assertRefused(await rawRequest(get(`/?run_s=${SHUTDOWN}&psw_s=1234`)), SONG);
    });
    await t.test('the password box is read afresh: a changed box refuses the default', async () => {
      assert.equal(await relayWindow.setText(CONTROLS.passwordBox, '2468'), '2468');
      try {
        assertRefused(await rawRequest(press(SHUTDOWN, DEFAULT_PASSWORD)), SONG);
      } finally {
        await relayWindow.setText(CONTROLS.passwordBox, DEFAULT_PASSWORD);
      }
    });
    assert.ok(relay.isRunning(), 'the program still runs');
    assert.deepEqual(relay.shutdownRuns(), [], 'no shutdown command was started');
  });
});

// ---- accepted shutdowns: each ends its program ----------------------------------------

const sameFile = (a, b) => a.toLowerCase() === b.toLowerCase();

describe('hotkey_relay accepts a shutdown with the right password', () => {
  let player;
  before(async () => {
    player = await startFakePlayer();
  });
  after(async () => {
    await player?.stop();
  });

  const ACCEPTED = [
    { name: 'POST from the form, the password last in the request', request: press(SHUTDOWN, DEFAULT_PASSWORD) },
    { name: 'GET, the password before "&"', request: get(`/?psw_s=${DEFAULT_PASSWORD}&run_s=${SHUTDOWN}`) },
    { name: 'GET, the password before the space of the request line', request: get(`/?run_s=${SHUTDOWN}&psw_s=${DEFAULT_PASSWORD}`) },
    { name: 'an empty password box takes any password', box: '', request: press(SHUTDOWN, '9999') },
  ];

  for (const { name, box, request } of ACCEPTED) {
    test(name, async () => {
      const relay = await startEdition('hotkey_relay');
      try {
        if (box !== undefined) assert.equal(await relayWindow.setText(CONTROLS.passwordBox, box), box);
        const keysBefore = player.keyEvents().length;
        const answer = await rawRequest(request);
        assertShutdownDone(answer);
        assert.deepEqual(await relay.exited, { code: 0, signal: null }, 'the program ends with code 0');
        const [run, ...more] = await relay.waitForShutdownRuns(1);
        assert.deepEqual(more, [], 'one start of the shutdown command');
        assert.ok(sameFile(run.module, SYSTEM_SHUTDOWN), `started ${run.module}`);
        assert.equal(run.commandLine, SHUTDOWN_COMMAND_LINE);
        assert.ok(answer.firstDataAt <= run.t, 'the browser is answered before the command starts');
        assert.deepEqual(player.keyEvents().slice(keysBefore), [], 'no chord');
      } finally {
        await relay.stop();
      }
    });
  }

  test('a shutdown.exe beside the program or in its current directory is never run', async () => {
    const programDir = mkdtempSync(path.join(os.tmpdir(), 'relay-program-'));
    const currentDir = mkdtempSync(path.join(os.tmpdir(), 'relay-cwd-'));
    try {
      const exe = path.join(programDir, 'hotkey_relay.exe');
      copyFileSync(path.join(BUILD_WIN, 'hotkey_relay.exe'), exe);
      // The planted copies record their runs in the same log, under their own paths.
      copyFileSync(toolExe('fake_shutdown'), path.join(programDir, 'shutdown.exe'));
      copyFileSync(toolExe('fake_shutdown'), path.join(currentDir, 'shutdown.exe'));
      const relay = await startEdition('hotkey_relay', { exe, cwd: currentDir });
      try {
        assertShutdownDone(await rawRequest(press(SHUTDOWN, DEFAULT_PASSWORD)));
        assert.deepEqual(await relay.exited, { code: 0, signal: null });
        const runs = await relay.waitForShutdownRuns(1);
        assert.deepEqual(runs.map((run) => run.module.toLowerCase()), [SYSTEM_SHUTDOWN.toLowerCase()]);
        assert.equal(runs[0].commandLine, SHUTDOWN_COMMAND_LINE);
      } finally {
        await relay.stop();
      }
    } finally {
      rmSync(programDir, { recursive: true, force: true });
      rmSync(currentDir, { recursive: true, force: true });
    }
  });
});

after(() => stopWine());
