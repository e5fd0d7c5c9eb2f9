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
