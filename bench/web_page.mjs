// The published page in headless Chromium (WebGL on SwiftShader, the CPU only, like the
// desktop's llvmpipe): the time to its first picture and its frame rate while it runs.
//   node bench/web_page.mjs FOLDER SECONDS
// Prints one line: "first-frame-ms FPS FRAME-MS" (the first picture's time from the start of
// the navigation, the frames drawn per second over SECONDS after a settling second).
// Uses the browser helpers (and puppeteer-core) of tests/web.
import { launchBrowser, serveFolder } from '../tests/web/browser.mjs';

const [folder, secondsText = '10'] = process.argv.slice(2);
const seconds = Number(secondsText);
const server = await serveFolder(folder);
const { browser, close } = await launchBrowser();
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 1024, height: 768 });
  await page.goto(`${server.origin}/`);
  await page.waitForFunction(() => performance.getEntriesByName('stageworks-first-frame').length > 0,
    { timeout: 180000, polling: 50 });
  const firstFrame = await page.evaluate(() => performance.getEntriesByName('stageworks-first-frame')[0].startTime);
  await new Promise((resolve) => setTimeout(resolve, 1000));
  const [f0, t0] = await page.evaluate(() => [window.stageworksFrames(), performance.now()]);
  await new Promise((resolve) => setTimeout(resolve, seconds * 1000));
  const [f1, t1] = await page.evaluate(() => [window.stageworksFrames(), performance.now()]);
  const fps = (f1 - f0) / ((t1 - t0) / 1000);
  console.log(`${firstFrame.toFixed(0)} ${fps.toFixed(1)} ${(1000 / fps).toFixed(1)}`);
} finally {
  await close();
  await server.close();
}
