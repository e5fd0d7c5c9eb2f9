// How the page looks and reads: every page from 320 px to 1280 px in light and dark, with the
// screenshots kept in build/web-screenshots/ for a person to look at (the references they were
// judged by are in docs/screenshots/web/); axe-core's accessibility rules; printing the current
// page on one A4 sheet.
import assert from 'node:assert/strict';
import { mkdirSync } from 'node:fs';
import { createRequire } from 'node:module';
import { after, before, test } from 'node:test';
import { launch, openPage, root, serve } from './support.mjs';

const axeSource = createRequire(import.meta.url).resolve('axe-core/axe.min.js');
const screenshots = `${root}build/web-screenshots`;
const pages = ['Round Duct', 'Rectangular Duct', 'Recommended Velocities', 'Conversions', 'Size'];
const file = (name) => name.split(' ')[0].toLowerCase();

let server;
let browser;
before(async () => {
  server = await serve();
  browser = await launch();
  mkdirSync(screenshots, { recursive: true });
});
after(async () => {
  await browser?.close();
  await server?.stop();
});

async function show(page, name) {
  await page.getByRole('tab', { name }).click();
  // The picture loads when its page is first shown.
  await page.waitForFunction(() => [...document.images]
    .every((image) => image.complete || image.offsetParent === null));
}

// axe-core's rules in force (WCAG 2.x A and AA and its best practices) against the page as it
// is shown; every violation with the elements it found.
async function violations(page) {
  await page.addScriptTag({ path: axeSource });
  const found = await page.evaluate(() => window.axe.run(document)
    .then((results) => results.violations));
  return found.map((v) => `${v.id}: ${v.help} (${v.nodes.map((n) => n.target).join(', ')})`);
}

for (const colorScheme of ['light', 'dark']) {
  test(`${colorScheme}: every page fits 320 px to 1280 px; screenshots`, async () => {
    for (const width of [320, 1280]) {
      const { context, page } = await openPage(browser, server.url,
        { colorScheme, width, height: width === 320 ? 640 : 800 });
      for (const name of pages) {
        await show(page, name);
        const overflow = await page.evaluate(() => document.documentElement.scrollWidth
          - document.documentElement.clientWidth);
        assert.equal(overflow, 0, `${name} at ${width} px is wider than the screen`);
        const path = `${screenshots}/web-${file(name)}-${width}-${colorScheme}.png`;
        await page.screenshot({ path, fullPage: true });
      }
      await context.close();
    }
  });

  test(`${colorScheme}: axe-core finds no violations on any page, nor beside a failure`,
    async () => {
      const { context, page } = await openPage(browser, server.url, { colorScheme });
      for (const name of pages) {
        await show(page, name);
        assert.deepEqual(await violations(page), [], name);
      }
      // A failure's message and the greyed rows it leaves.
      await show(page, 'Round Duct');
      await page.getByRole('textbox', { name: 'Air Volume Flow (l/s)' }).fill('0');
      await page.locator('#round-failure strong').waitFor();
      assert.deepEqual(await violations(page), [], 'failure');
      await context.close();
    });
}

test('printing gives one A4 sheet for every page, nothing cut off at its right', async () => {
  // The width inside the sheet's margins: 210 mm less 2 x 12 mm, at 96 px to the inch.
  const printable = Math.floor(((210 - 24) / 25.4) * 96);
  const { context, page } = await openPage(browser, server.url, { colorScheme: 'dark' });
  for (const name of pages) {
    await show(page, name);
    await page.setViewportSize({ width: printable, height: 1000 });
    await page.emulateMedia({ media: 'print' });
    assert.ok(await page.evaluate((width) => document.documentElement.scrollWidth <= width,
      printable), `${name} is wider than the sheet`);
    await page.emulateMedia({ media: null });
    await page.setViewportSize({ width: 1280, height: 900 });
    const pdf = (await page.pdf({ preferCSSPageSize: true, printBackground: true }))
      .toString('latin1');
    assert.equal(/\/Type\s*\/Pages\b[^>]*\/Count (\d+)/.exec(pdf)?.[1]
      ?? /\/Count (\d+)[^>]*\/Type\s*\/Pages\b/.exec(pdf)?.[1], '1', name);
    // A4 is 595.28 by 841.89 points; Chromium rounds the page to whole device pixels.
    const [, w, h] = /\/MediaBox\s*\[\s*0 0 ([\d.]+) ([\d.]+)\s*\]/.exec(pdf);
    assert.ok(Math.abs(w - 595.28) < 1.5 && Math.abs(h - 841.89) < 1.5, `${name}: ${w} x ${h}`);
  }
  await context.close();
});
