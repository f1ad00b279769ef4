import { defineConfig } from '@playwright/test';

// Debian's chromium, headless, with the flags this sandboxed machine needs: no browser
// download, no background connections to the outside world.
export default defineConfig({
  testDir: './tests',
  // Generous limits: the suite runs on a 2-core machine beside other builds and tests, where a
  // screen can take seconds to appear; every wait is for a condition, so a fast run stays fast.
  timeout: 60_000,
  expect: { timeout: 15_000 },
  fullyParallel: true,
  workers: 2,
  forbidOnly: !!process.env.CI,
  reporter: process.env.CI ? [['list']] : [['list'], ['html', { open: 'never' }]],
  use: {
    trace: 'retain-on-failure',
    screenshot: 'only-on-failure',
    locale: 'ru-RU',
    viewport: { width: 1280, height: 800 },
    launchOptions: {
      executablePath: process.env.CALCORA_CHROMIUM ?? '/usr/bin/chromium',
      args: [
        '--headless',
        '--no-sandbox',
        '--disable-gpu',
        '--disable-quic',
        '--no-first-run',
        '--disable-background-networking',
        '--disable-component-update',
        '--disable-sync',
      ],
    },
  },
});
