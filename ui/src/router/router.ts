// A small history-API router: the address is the path, both hosts serve the page for any path.

import { useSyncExternalStore } from 'react';

const listeners = new Set<() => void>();

function notify(): void {
  for (const l of listeners) l();
}

window.addEventListener('popstate', notify);

export function currentPath(): string {
  return window.location.pathname || '/';
}

export function navigate(path: string, options: { replace?: boolean } = {}): void {
  if (path === currentPath()) return;
  if (options.replace) history.replaceState(null, '', path);
  else history.pushState(null, '', path);
  notify();
}

function subscribe(listener: () => void): () => void {
  listeners.add(listener);
  return () => listeners.delete(listener);
}

export function usePath(): string {
  return useSyncExternalStore(subscribe, currentPath);
}

export type Route =
  | { screen: 'list' }
  | { screen: 'editor'; id: number }
  | { screen: 'catalog' }
  | { screen: 'templates' }
  | { screen: 'help' }
  | { screen: 'settings' }
  | { screen: 'missing' };

export function matchRoute(path: string): Route {
  if (path === '/' || path === '') return { screen: 'list' };
  const editor = /^\/editor\/(\d+)\/?$/.exec(path);
  if (editor) return { screen: 'editor', id: Number(editor[1]) };
  const first = path.replace(/\/+$/, '');
  if (first === '/catalog') return { screen: 'catalog' };
  if (first === '/templates') return { screen: 'templates' };
  if (first === '/help') return { screen: 'help' };
  if (first.startsWith('/settings')) return { screen: 'settings' };
  return { screen: 'missing' };
}

export function editorPath(id: number): string {
  return `/editor/${id}`;
}
