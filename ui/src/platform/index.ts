// The page's only door to the native side: commands, dialogs and events.
export { invoke, isDesktop, CommandFailure } from './transport';
export { listen, emit, onBeforeClose, installEventBridge, shortcutEvent, type NativeEvent } from './events';
export {
  showMessage,
  askConfirm,
  pickOpenFile,
  pickSaveFile,
  hasNativeDialogs,
  setDialogPresenter,
  type DialogRequest,
  type DialogAnswer,
  type FileDialogOptions,
  type FileFilter,
} from './dialogs';
export { STORAGE_KEYS, readStored, writeStored, readFlag, writeFlag } from './storage';
