// After one visit the service worker keeps the page: it opens and computes with the server
// stopped. (Playwright's offline switch does not reach the worker's own fetches, so the server
// itself goes away.)
import assert from 'node:assert/strict';
import test from 'node:test';
import { launch, openPage, serve } from './support.mjs';

test('after one visit the page opens with the server stopped', async () => {
  const server = await serve();
  const browser = await launch();
  try {
    const { context, page } = await openPage(browser, server.url);
    await page.evaluate(() => navigator.serviceWorker.ready);
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
    await server.stop();
    assert.equal(await page.evaluate(() => fetch('nothing-here').then(() => 'answered',
      () => 'no answer')), 'no answer');

    const firstRow = () => page.locator('#round-table tbody tr').first().locator('th, td')
      .allTextContents();
    await page.reload();
    await page.waitForFunction(() => document.documentElement.dataset.engine === 'ready');
    assert.deepEqual((await firstRow()).slice(0, 3), ['80', '36.55', '222.5']);
    await page.getByRole('textbox', { name: 'Air Volume Flow (l/s)' }).fill('100');
    assert.deepEqual((await firstRow()).slice(0, 3), ['80', '19.89', '68.6']);

    // Another address of the page, the picture and the icons come from the worker too.
    const other = await context.newPage();
    await other.goto(`${server.url}?from=home-screen#velocities`);
    await other.waitForFunction(() => document.documentElement.dataset.engine === 'ready');
    assert.equal(await other.locator('[role="tab"][aria-selected="true"]').textContent(),
      'Recommended Velocities');
    await other.waitForFunction(() => [...document.images].every((image) => image.complete));
    assert.ok(await other.evaluate(() => [...document.images]
      .every((image) => image.naturalWidth > 0)));
  } finally {
    await browser.close();
    await server.stop();
  }
});
