// Three browser engines behind one small interface, for pressing the control
// page's buttons as a person would:
//   const b = await openBrowser('chromium' | 'firefox' | 'webkit');
//   await b.goto(url); await b.title(); await b.buttonValues();
//   await b.pressButton(value);  // clicks that submit, resolves once the next page loaded
//   await b.typePassword('1234'); // types into the page's password field, as keys
//   await b.pressButtonForAlert('关机'); // resolves to the alert's message once the page
//                                 // that raised it has loaded; the alert is accepted
//   await b.songTitle();          // the text of the page's first bold line
//   await b.close();
// Chromium and Firefox go through puppeteer-core (CDP and WebDriver BiDi), WebKit
// through WebKitWebDriver over plain W3C WebDriver HTTP.
import { spawn } from 'node:child_process';
import { mkdtemp, rm } from 'node:fs/promises';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

export const ENGINES = ['chromium', 'firefox', 'webkit'];

const CHROMIUM = process.env.E2E_CHROMIUM || '/usr/bin/chromium';
const FIREFOX = process.env.E2E_FIREFOX || '/usr/bin/firefox-esr';
const WEBKIT_DRIVER = process.env.E2E_WEBKIT_DRIVER || '/usr/bin/WebKitWebDriver';
const MINIBROWSER =
  process.env.E2E_MINIBROWSER || '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';

const NAVIGATION_TIMEOUT_MS = 30_000;
const SUBMIT_SELECTOR = 'input[type="submit"]';
const PASSWORD_SELECTOR = 'input[type="password"]';
const TITLE_SELECTOR = 'p b';

export async function openBrowser(engine) {
  switch (engine) {
    case 'chromium':
      return openChromium();
    case 'firefox':
      return openFirefox();
    case 'webkit':
      return openWebKit();
    default:
      throw new Error(`unknown engine ${engine}`);
  }
}

// ---- puppeteer engines -------------------------------------------------------

async function openChromium() {
  const profile = await mkdtemp(path.join(os.tmpdir(), 'e2e-chromium-'));
  try {
    const browser = await puppeteer.launch({
      browser: 'chrome',
      executablePath: CHROMIUM,
      headless: true,
      // A fresh profile of our own each time, removed on close.
      userDataDir: profile,
      args: [
        '--no-sandbox',
        '--disable-gpu',
        '--disable-quic',
        '--no-first-run',
        '--disable-background-networking',
        '--disable-component-update',
        '--disable-sync',
      ],
    });
    return wrapPuppeteer('chromium', browser, () => rm(profile, { recursive: true, force: true }));
  } catch (error) {
    await rm(profile, { recursive: true, force: true });
    throw error;
  }
}

async function openFirefox() {
  // Puppeteer makes a temporary profile with automation prefs and removes it on close.
  const browser = await puppeteer.launch({
    browser: 'firefox',
    executablePath: FIREFOX,
    headless: true,
  });
  return wrapPuppeteer('firefox', browser, async () => {});
}

async function wrapPuppeteer(engine, browser, cleanUp) {
  let page;
  try {
    const pages = await browser.pages();
    page = pages[0] ?? (await browser.newPage());
    page.setDefaultTimeout(NAVIGATION_TIMEOUT_MS);
  } catch (error) {
    await browser.close().catch(() => {});
    await cleanUp();
    throw error;
  }

  return {
    engine,
    async goto(url) {
      await page.goto(url, { waitUntil: 'load' });
    },
    async title() {
      return page.title();
    },
    async buttonValues() {
      return page.$$eval(SUBMIT_SELECTOR, (inputs) => inputs.map((input) => input.value));
    },
    async pressButton(value) {
      const handles = await page.$$(SUBMIT_SELECTOR);
      const values = await Promise.all(handles.map((h) => h.evaluate((input) => input.value)));
      const index = uniqueIndex(values, value);
      // A real pointer click, so the browser builds the submission itself.
      await Promise.all([
        page.waitForNavigation({ waitUntil: 'load', timeout: NAVIGATION_TIMEOUT_MS }),
        handles[index].click(),
      ]);
      await Promise.all(handles.map((h) => h.dispose().catch(() => {})));
    },
    async typePassword(text) {
      const field = await page.$(PASSWORD_SELECTOR);
      if (!field) throw new Error('the page has no password field');
      await field.evaluate((input) => {
        input.value = '';
      });
      await field.type(text); // key by key, so the field's own limits apply
      await field.dispose();
    },
    async passwordValue() {
      return page.$eval(PASSWORD_SELECTOR, (input) => input.value);
    },
    async pressButtonForAlert(value) {
      const handles = await page.$$(SUBMIT_SELECTOR);
      const values = await Promise.all(handles.map((h) => h.evaluate((input) => input.value)));
      const index = uniqueIndex(values, value);
      const alerted = new Promise((resolve) =>
        page.once('dialog', async (dialog) => {
          const message = dialog.message();
          await dialog.accept().catch(() => {});
          resolve(message);
        }),
      );
      // The alert comes from the new page's load handler: the load completes
      // only once it has been accepted.
      const [message] = await Promise.all([
        withTimeout(alerted, NAVIGATION_TIMEOUT_MS, `an alert after pressing ${value}`),
        page.waitForNavigation({ waitUntil: 'load', timeout: NAVIGATION_TIMEOUT_MS }),
        handles[index].click(),
      ]);
      await Promise.all(handles.map((h) => h.dispose().catch(() => {})));
      return message;
    },
    async songTitle() {
      return page.$eval(TITLE_SELECTOR, (bold) => bold.textContent);
    },
    async close() {
      try {
        await browser.close();
      } finally {
        await cleanUp();
      }
    },
  };
}

function withTimeout(promise, ms, what) {
  let timer;
  return Promise.race([
    promise.finally(() => clearTimeout(timer)),
    new Promise((_, reject) => {
      timer = setTimeout(() => reject(new Error(`timed out after ${ms} ms waiting for ${what}`)), ms);
    }),
  ]);
}

function uniqueIndex(values, value) {
  const matches = values.flatMap((v, i) => (v === value ? [i] : []));
  if (matches.length !== 1)
    throw new Error(`expected one submit button "${value}", found ${matches.length} among ${JSON.stringify(values)}`);
  return matches[0];
}

// ---- WebKitGTK over W3C WebDriver ----------------------------------------------

const ELEMENT_KEY = 'element-6066-11e4-a52e-4f735466cecf';

async function openWebKit() {
  // MiniBrowser has no headless mode: it needs an X server (Xvfb will do).
  if (!process.env.DISPLAY) throw new Error('DISPLAY is not set: WebKit needs an X server');
  const port = await freePort();
  const driver = spawn(WEBKIT_DRIVER, [`--port=${port}`], { stdio: ['ignore', 'ignore', 'pipe'] });
  const driverLog = collect(driver.stderr);
  driver.once('error', (error) => driverLog.add(`${error}`));
  try {
    const base = `http://127.0.0.1:${port}`;
    await waitForDriver(base, driver, driverLog);

    const created = await webdriver(base, 'POST', '/session', {
      capabilities: {
        alwaysMatch: {
          pageLoadStrategy: 'normal',
          // An alert stays open until a test reads and accepts it.
          unhandledPromptBehavior: 'ignore',
          'webkitgtk:browserOptions': { binary: MINIBROWSER, args: ['--automation'] },
        },
      },
    });
    const session = `${base}/session/${created.sessionId}`;
    await webdriver(session, 'POST', '/timeouts', { pageLoad: NAVIGATION_TIMEOUT_MS, script: 5_000 });

    const script = (body, args = []) => webdriver(session, 'POST', '/execute/sync', { script: body, args });
    const submits = async () => {
      const found = await webdriver(session, 'POST', '/elements', { using: 'css selector', value: SUBMIT_SELECTOR });
      return found.map((ref) => ref[ELEMENT_KEY]);
    };

    return {
      engine: 'webkit',
      async goto(url) {
        await webdriver(session, 'POST', '/url', { url });
      },
      async title() {
        return webdriver(session, 'GET', '/title');
      },
      async buttonValues() {
        const ids = await submits();
        return Promise.all(ids.map((id) => webdriver(session, 'GET', `/element/${id}/property/value`)));
      },
      async pressButton(value) {
        const ids = await submits();
        const values = await Promise.all(ids.map((id) => webdriver(session, 'GET', `/element/${id}/property/value`)));
        const index = uniqueIndex(values, value);
        // A mark on the current document tells the next document apart, even
        // when the press leads to the very same address as the last one.
        const mark = `m${Date.now()}${Math.random()}`;
        await script('window.__e2eMark = arguments[0];', [mark]);
        await webdriver(session, 'POST', `/element/${ids[index]}/click`, {});
        await waitForNewDocument(script, mark);
      },
      async typePassword(text) {
        const [field] = await webdriver(session, 'POST', '/elements', { using: 'css selector', value: PASSWORD_SELECTOR });
        if (!field) throw new Error('the page has no password field');
        const id = field[ELEMENT_KEY];
        await webdriver(session, 'POST', `/element/${id}/clear`, {});
        await webdriver(session, 'POST', `/element/${id}/value`, { text });
      },
      async passwordValue() {
        return script(`return document.querySelector('${PASSWORD_SELECTOR}').value;`);
      },
      async pressButtonForAlert(value) {
        const ids = await submits();
        const values = await Promise.all(ids.map((id) => webdriver(session, 'GET', `/element/${id}/property/value`)));
        const index = uniqueIndex(values, value);
        const mark = `m${Date.now()}${Math.random()}`;
        await script('window.__e2eMark = arguments[0];', [mark]);
        try {
          await webdriver(session, 'POST', `/element/${ids[index]}/click`, {});
        } catch (error) {
          // The click can come back while the new page's alert is already open.
          if (!/alert/i.test(String(error))) throw error;
        }
        // Nothing but the alert is asked for until it shows: any other command
        // would meet the open alert.
        const message = await waitForAlert(session);
        await webdriver(session, 'POST', '/alert/accept', {});
        await waitForNewDocument(script, mark);
        return message;
      },
      async songTitle() {
        return script(`return document.querySelector('${TITLE_SELECTOR}').textContent;`);
      },
      async close() {
        try {
          await webdriver(session, 'DELETE', '');
        } finally {
          await stopProcess(driver);
        }
      },
    };
  } catch (error) {
    await stopProcess(driver);
    throw error;
  }
}

async function waitForNewDocument(script, mark) {
  const deadline = Date.now() + NAVIGATION_TIMEOUT_MS;
  let last;
  while (Date.now() < deadline) {
    try {
      const state = await script('return [window.__e2eMark === arguments[0], document.readyState];', [mark]);
      if (!state[0] && state[1] === 'complete') return;
      last = state;
    } catch (error) {
      last = error; // scripts can fail while the old document is torn down
    }
    await sleep(50);
  }
  throw new Error(`no new page loaded within ${NAVIGATION_TIMEOUT_MS} ms (last: ${last})`);
}

async function waitForAlert(session) {
  const deadline = Date.now() + NAVIGATION_TIMEOUT_MS;
  let last;
  while (Date.now() < deadline) {
    try {
      return await webdriver(session, 'GET', '/alert/text');
    } catch (error) {
      last = error; // no such alert yet
    }
    await sleep(50);
  }
  throw new Error(`no alert within ${NAVIGATION_TIMEOUT_MS} ms (last: ${last})`);
}

async function webdriver(base, method, route, body) {
  const response = await fetch(base + route, {
    method,
    headers: body === undefined ? {} : { 'Content-Type': 'application/json; charset=utf-8' },
    body: body === undefined ? undefined : JSON.stringify(body),
  });
  const text = await response.text();
  let parsed;
  try {
    parsed = JSON.parse(text);
  } catch {
    throw new Error(`WebDriver ${method} ${route}: HTTP ${response.status}: ${text.slice(0, 200)}`);
  }
  if (!response.ok || parsed?.value?.error) {
    const { error, message } = parsed?.value ?? {};
    throw new Error(`WebDriver ${method} ${route}: ${error ?? response.status}: ${message ?? text.slice(0, 200)}`);
  }
  return parsed.value;
}

async function waitForDriver(base, driver, driverLog) {
  const deadline = Date.now() + 10_000;
  while (Date.now() < deadline) {
    if (driver.pid === undefined || driver.exitCode !== null || driver.signalCode !== null)
      throw new Error(`${WEBKIT_DRIVER} did not start or exited early: ${driverLog()}`);
    try {
      const status = await webdriver(base, 'GET', '/status');
      if (status.ready) return;
    } catch {
      // not listening yet
    }
    await sleep(50);
  }
  throw new Error(`WebKitWebDriver did not come up: ${driverLog()}`);
}

function freePort() {
  return new Promise((resolve, reject) => {
    const server = net.createServer();
    server.once('error', reject);
    server.listen(0, '127.0.0.1', () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

async function stopProcess(child) {
  if (child.pid === undefined || child.exitCode !== null || child.signalCode !== null) return;
  const exited = new Promise((resolve) => child.once('exit', resolve));
  child.kill('SIGTERM');
  const timer = setTimeout(() => child.kill('SIGKILL'), 5_000);
  await exited;
  clearTimeout(timer);
}

// The tail of a stream, kept for error messages.
function collect(stream) {
  let text = '';
  const add = (chunk) => {
    text = (text + chunk).slice(-4000);
  };
  stream.setEncoding('utf8');
  stream.on('data', add);
  return Object.assign(() => text, { add });
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
