// Lint of the page: typed rules (every bridge call is a promise that must be handled) and the
// rules of hooks. Screens reach the native side only through src/platform.
import tseslint from 'typescript-eslint';
import reactHooks from 'eslint-plugin-react-hooks';

export default tseslint.config(
  { ignores: ['dist/**', 'node_modules/**', 'eslint.config.js'] },
  ...tseslint.configs.recommended,
  {
    files: ['src/**/*.{ts,tsx}'],
    languageOptions: {
      parserOptions: { project: './tsconfig.app.json', tsconfigRootDir: import.meta.dirname },
    },
    plugins: { 'react-hooks': reactHooks },
    rules: {
      ...reactHooks.configs.recommended.rules,
      '@typescript-eslint/no-floating-promises': 'error',
      '@typescript-eslint/no-misused-promises': ['error', { checksVoidReturn: { attributes: false } }],
      'no-restricted-globals': ['error', { name: 'fetch', message: 'Reach the native side through src/platform.' }],
    },
  },
  {
    files: ['src/platform/**'],
    rules: { 'no-restricted-globals': 'off' },
  },
);
