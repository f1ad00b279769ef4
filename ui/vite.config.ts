import { defineConfig } from 'vitest/config';

// One script and one style sheet with fixed names: the native build compiles exactly
// these files into the program.
export default defineConfig({
  // Absolute asset paths: the page is also loaded at deep addresses such as /editor/5.
  base: '/',
  oxc: { jsx: { runtime: 'automatic' } },
  build: {
    outDir: 'dist',
    emptyOutDir: true,
    cssCodeSplit: false,
    assetsInlineLimit: 100_000_000,
    modulePreload: false,
    rolldownOptions: {
      // The icon package marks its modules "use client", which means nothing in one bundle.
      onwarn(warning, warn) {
        if (warning.code !== 'MODULE_LEVEL_DIRECTIVE') warn(warning);
      },
      output: {
        codeSplitting: false,
        entryFileNames: 'assets/index.js',
        assetFileNames: (info) => (info.names?.[0]?.endsWith('.css') ? 'assets/index.css' : 'assets/[name][extname]'),
      },
    },
  },
  test: {
    // Most tests are of pure model modules; files that need a document say so in their first line.
    environment: 'node',
    include: ['src/**/*.test.ts', 'src/**/*.test.tsx'],
  },
});
