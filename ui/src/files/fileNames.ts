// File names the page proposes and accepts: a name made safe for every file system the
// program runs on, the extension forced onto a chosen path, and the extension read from one.

const FORBIDDEN = /[<>:"/\\|?*\u0000-\u001f]/g;
const DEVICE_NAMES = /^(con|prn|aux|nul|com[1-9]|lpt[1-9])$/i;
const MAX_NAME_CHARS = 120;
export const FALLBACK_FILE_NAME = 'smeta';

/** The object name as a file name without extension: no forbidden characters, no device name, at most 120 characters. */
export function safeFileName(objectName: string): string {
  let name = objectName.replace(FORBIDDEN, ' ').replace(/\s+/g, ' ');
  name = name.replace(/[. ]+$/, '').trim();
  if (name === '') name = FALLBACK_FILE_NAME;
  // Counted in code points, so a cut never splits a character outside the basic plane.
  name = Array.from(name).slice(0, MAX_NAME_CHARS).join('');
  return DEVICE_NAMES.test(name) ? `${FALLBACK_FILE_NAME}-${name}` : name;
}

function splitPath(path: string): { dir: string; name: string } {
  const cut = Math.max(path.lastIndexOf('/'), path.lastIndexOf('\\')) + 1;
  return { dir: path.slice(0, cut), name: path.slice(cut) };
}

/** Where the file name's extension begins, or -1: a dot that starts the name begins none. */
function extensionDot(name: string): number {
  const dot = name.lastIndexOf('.');
  return dot > 0 ? dot : -1;
}

/** The chosen path with its last extension replaced by `ext` (offer.txt → offer.xlsx, .offer → .offer.xlsx). */
export function forceExtension(path: string, ext: string): string {
  const { dir, name } = splitPath(path);
  const dot = extensionDot(name);
  return `${dir}${dot < 0 ? name : name.slice(0, dot)}.${ext}`;
}

/** The extension of the path's last component in lower case, or '' when it has none. */
export function fileExtension(path: string): string {
  const { name } = splitPath(path);
  const dot = extensionDot(name);
  return dot < 0 ? '' : name.slice(dot + 1).toLowerCase();
}

/** The folder part of a path, without its last separator; '' when the path has none. */
export function folderOf(path: string): string {
  const cut = Math.max(path.lastIndexOf('/'), path.lastIndexOf('\\'));
  if (cut < 0) return '';
  // The root ("/", "C:\") keeps its separator.
  return cut === 0 || path[cut - 1] === ':' ? path.slice(0, cut + 1) : path.slice(0, cut);
}

/** The last component of a path. */
export function fileNameOf(path: string): string {
  return splitPath(path).name;
}

