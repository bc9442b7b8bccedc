// hotkey_relay_lite over raw TCP, with fake_player listening for the chords.
//
//   DISPLAY=:NN node --test --test-concurrency=1 tests/e2e/lite-raw.test.mjs
//
// Needs the Windows build (BUILD_WIN), a running X server and port 80.
import assert from 'node:assert/strict';
import net from 'node:net';
import { after, before, describe, test } from 'node:test';

import { ANSWER_HEADER, BUTTONS } from './lib/buttons.mjs';
import { exchange, rawRequest, startEdition, startFakePlayer, stopWine } from './lib/harness.mjs';

const VK_CONTROL = 0x11;
const VK_MENU = 0x12; // Alt

const [J, P, K, U, , I] = BUTTONS.map((b) => b.token);

// The player's hook keeps each key this long. The program waits for the hook
// inside keybd_event, so anything it did only after the chord would reach us
// at least six holds after the first key.
const HOLD_MS = 100;
const ORDER_SLACK_MS = 3 * HOLD_MS;

const pressRequest = (token) =>
  `GET /?run_s=${token} HTTP/1.1\r\nHost: 127.0.0.1\r\nAccept: text/html\r\nReferer: http://127.0.0.1/\r\n\r\n`;
const PLAIN_REQUEST = 'GET / HTTP/1.0\r\n\r\n';

const gbkLabel = (token) => Buffer.from(token.replaceAll('%', ''), 'hex');

// The header block, then a page whose form offers all six labels.
function assertControlPage(answer) {
  assert.ok(answer.closedByServer, 'the server closes the connection');
  const { data } = answer;
  assert.equal(data.subarray(0, ANSWER_HEADER.length).toString('latin1'), ANSWER_HEADER.toString('latin1'));
  const page = data.subarray(ANSWER_HEADER.length);
  const text = page.toString('latin1');
  assert.match(text, /^<html>/);
  assert.match(text, /<\/html>$/);
  assert.match(text, /charset=gb2312/);
  assert.match(text, /<form [^>]*method="get"/);
  for (const { name, token } of BUTTONS) {
    assert.ok(page.includes(gbkLabel(token)), `the page shows the ${name} label in GBK`);
  }
}

function assertChordKeys(keys, letter) {
  const code = letter.charCodeAt(0);
  assert.deepEqual(
    keys.map((k) => [k.vk, k.down ? 'down' : 'up']),
    [
      [VK_CONTROL, 'down'],
      [VK_MENU, 'down'],
      [code, 'down'],
      [VK_CONTROL, 'up'],
      [VK_MENU, 'up'],
      [code, 'up'],
    ],
  );
  for (const key of keys) {
    assert.equal(key.scan, 0, 'scan code 0');
    assert.ok(key.injected, 'injected input');
  }
}

describe('hotkey_relay_lite with a listening player', () => {
  let player;
  let relay;

  before(async () => {
    player = await startFakePlayer({ holdMs: HOLD_MS });
    relay = await startEdition('hotkey_relay_lite');
  });
  after(async () => {
    await relay?.stop();
    await player?.stop();
  });

  // Sends one request and returns the answer and what the player saw of it.
  async function exchangeWithPlayer(request) {
    const exchanged = await exchange(player, request);
    assertControlPage(exchanged.barrierAnswer);
    return exchanged;
  }

  test('each button plays its own chord once, after the page went out and the connection closed', async (t) => {
    for (const { name, token, letter } of BUTTONS) {
      await t.test(`${name} → Ctrl+Alt+${letter}`, async () => {
        const { answer, keys, chords } = await exchangeWithPlayer(pressRequest(token));
        assertControlPage(answer);
        assertChordKeys(keys, letter);
        assert.deepEqual(await chords(1), [letter]);
        assert.ok(
          answer.closedAt <= keys[0].t + ORDER_SLACK_MS,
          `answer closed ${(answer.closedAt - keys[0].t).toFixed(1)} ms after the first key`,
        );
      });
    }
  });

  const CASES = [
    { name: 'no token', request: PLAIN_REQUEST, plays: null },
    { name: 'lower-case hex', request: pressRequest(J.toLowerCase()), plays: null },
    { name: 'lower-case %2f inside the play/pause token', request: pressRequest(P.replace('%2F', '%2f')), plays: null },
    { name: 'UTF-8 encoding of a label', request: pressRequest('%E4%B8%8A%E4%B8%80%E9%A6%96'), plays: null },
    { name: 'shutdown token of the full edition', request: pressRequest('%B9%D8%BB%FA'), plays: null },
    {
      name: 'token only in the Referer header',
      request: `GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nReferer: http://127.0.0.1/?run_s=${J}\r\n\r\n`,
      plays: null,
    },
    { name: 'token after a bare LF that ends the request line', request: `GET / HTTP/1.0\nX-Next: ${J}\n\n`, plays: null },
    { name: 'POST with no GET anywhere', request: `POST /?run_s=${J} HTTP/1.1\r\nContent-Length: 0\r\n\r\n`, plays: null },
    { name: 'lower-case method', request: `get /?run_s=${K} HTTP/1.1\r\n\r\n`, plays: 'K' },
    { name: 'GET only in a later header', request: `POST /?run_s=${U} HTTP/1.1\r\nX-Was: GET\r\n\r\n`, plays: 'U' },
    { name: 'two tokens, later row first', request: pressRequest(`${K}&run_s=${J}`), plays: 'J' },
    { name: 'two tokens, last row first', request: pressRequest(`${I}&run_s=${P}`), plays: 'P' },
  ];

  test('which requests play a chord', async (t) => {
    for (const { name, request, plays } of CASES) {
      await t.test(`${name} → ${plays ? `Ctrl+Alt+${plays}` : 'nothing'}`, async () => {
        const { answer, keys, chords } = await exchangeWithPlayer(request);
        assertControlPage(answer);
        if (plays) {
          assertChordKeys(keys, plays);
          assert.deepEqual(await chords(1), [plays]);
        } else {
          assert.deepEqual(keys, [], 'no key events');
          assert.deepEqual(await chords(0), [], 'no hot keys');
        }
      });
    }
  });
});

describe('hotkey_relay_lite with port 80 held by another program', () => {
  let holder;

  before(async () => {
    // resume(): reading the request lets the socket see the client's close.
    holder = net.createServer((socket) => socket.resume().end('held'));
    await new Promise((resolve, reject) => {
      holder.once('error', reject);
      holder.listen(80, '0.0.0.0', resolve);
    });
  });
  after(() => new Promise((resolve) => holder.close(resolve)));

  test('keeps running and leaves the port to its holder', async () => {
    const relay = await startEdition('hotkey_relay_lite', { expectListening: false });
    try {
      assert.ok(relay.isRunning());
      const answer = await rawRequest(PLAIN_REQUEST);
      assert.equal(answer.data.toString(), 'held');
    } finally {
      await relay.stop();
    }
  });
});

after(() => stopWine());
