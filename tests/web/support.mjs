// What the web tests share: the page served as tools/web.sh serves it, Debian's Chromium driven
// by Playwright, the reference gustrule-cli, and seeded random input texts.
import { spawn, spawnSync } from 'node:child_process';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';

export const root = fileURLToPath(new URL('../../', import.meta.url));
export const site = `${root}build/web`;

// Serves a folder on 127.0.0.1 on a free port with Python's static server, as tools/web.sh
// does; resolves to { url, stop() }.
export function serve(folder = site) {
  return new Promise((resolve, reject) => {
    const server = spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1',
      '--directory', folder], { stdio: ['ignore', 'pipe', 'ignore'] });
    let said = '';
    server.stdout.on('data', (chunk) => {
      said += chunk;
      const port = /port (\d+)/.exec(said)?.[1];
      if (port) {
        server.stdout.removeAllListeners('data');
        server.stdout.resume();
        resolve({
          url: `http://localhost:${port}/`,
          stop: () => new Promise((done) => {
            if (server.exitCode !== null || server.signalCode !== null) {
              done();
              return;
            }
            server.once('exit', done);
            server.kill();
          }),
        });
      }
    });
    server.once('error', reject);
    server.once('exit', (code) => reject(new Error(`http.server ended with ${code}`)));
  });
}

// Debian's Chromium, headless. Root has no user namespaces for the sandbox.
export function launch() {
  const args = ['--disable-gpu', '--disable-background-networking', '--disable-component-update',
    '--disable-sync', '--no-first-run', '--disable-quic'];
  if (process.getuid?.() === 0) {
    args.push('--no-sandbox');
  }
  return chromium.launch({ executablePath: '/usr/bin/chromium', args });
}

// A page of the site in a new context: `locale` decides the decimal separator, `colorScheme`
// light or dark; waits until the engine has written the first tables.
export async function openPage(browser, url, { locale = 'en-US', colorScheme = 'light',
  width = 1280, height = 900, permissions = [] } = {}) {
  const context = await browser.newContext({ locale, colorScheme,
    viewport: { width, height }, permissions });
  const page = await context.newPage();
  await page.goto(url);
  await page.waitForFunction(() => document.documentElement.dataset.engine === 'ready');
  return { context, page };
}

// The gustrule-cli whose texts the page must show: GUSTRULE_CLI, else the soft build's
// (tools/build-soft.sh).
export const cliPath = process.env.GUSTRULE_CLI ?? `${root}build/soft/cli/gustrule-cli`;

const cells = (lines) => lines.map((line) => line.split('\t'));

// Runs the reference gustrule-cli: its standard output as lines of tab-separated cells and as
// text, its standard error without the last line end, and its exit status.
export function cli(args) {
  const run = spawnSync(cliPath, args, { encoding: 'utf8' });
  if (run.error) {
    throw run.error;
  }
  const lines = run.stdout.split('\n');
  lines.pop(); // every line ends with "\n"
  return { lines: cells(lines), stdout: run.stdout, stderr: run.stderr.trim(), status: run.status };
}

// Runs many command lines in one gustrule-cli batch; for each the same as cli() but `stdout`.
// A batch writes each command's standard output, then its standard error, then its status line;
// the commands here write either rows and, after an arithmetic failure (status 1), a one-line
// message, or (usage error, no size: status 2 or 3) only a message.
export function cliBatch(commands) {
  const input = commands.map((args) => `${args.join('\t')}\n`).join('');
  const run = spawnSync(cliPath, ['batch'], { input, encoding: 'utf8', maxBuffer: 1 << 28 });
  if (run.error || run.status !== 0) {
    throw run.error ?? new Error(`gustrule-cli batch ended with ${run.status}: ${run.stderr}`);
  }
  const results = [];
  let output = [];
  for (const line of run.stdout.split('\n').slice(0, -1)) {
    const status = /^\x1e status (\d+)$/.exec(line);
    if (!status) {
      output.push(line);
      continue;
    }
    const code = Number(status[1]);
    const rows = { 0: output.length, 1: output.length - 1 }[code] ?? 0;
    results.push({ lines: cells(output.slice(0, rows)), stderr: output.slice(rows).join('\n'),
      status: code });
    output = [];
  }
  return results;
}

// A seeded pseudo-random generator (mulberry32): numbers in [0, 1).
export function seeded(seed) {
  let state = seed >>> 0;
  return () => {
    state = (state + 0x6d2b79f5) >>> 0;
    let t = state;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

// Texts a user might type, at most `maxLength` characters: mostly numbers in plain, decimal and
// exponent forms, written with `separator` or the other common one, and the reader's edge cases.
export function numberTexts(random, separator, maxLength = Infinity) {
  const odd = ['0', '-0', separator, `-${separator}`, '1e', '2E+', '3e-', '1e-400', '2e1000',
    '1.8e308', '', 'abc', ' 7 ', '0x10', '1,5', '1.5', '5e-3', '1E3', '-', '+4', '1e300'];
  const pick = (list) => list[Math.floor(random() * list.length)];
  const digits = (count) => Array.from({ length: count }, () => Math.floor(random() * 10)).join('');
  return () => {
    const r = random();
    const sign = random() < 0.08 ? '-' : '';
    let text;
    if (r < 0.15) {
      text = pick(odd);
    } else if (r < 0.5) {
      text = sign + String(Math.floor(random() * 5000));
    } else if (r < 0.9) {
      const point = random() < 0.85 ? separator : pick(['.', ',']);
      const whole = digits(1 + Math.floor(random() * 4));
      text = `${sign}${whole}${point}${digits(Math.floor(random() * 4))}`;
    } else {
      const exponent = `${random() < 0.5 ? '-' : ''}${Math.floor(random() * 40)}`;
      text = `${sign}${digits(1 + Math.floor(random() * 2))}e${exponent}`;
    }
    return text.slice(0, maxLength);
  };
}

