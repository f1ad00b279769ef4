import { StrictMode } from 'react';
import { createRoot } from 'react-dom/client';
import { App } from './App';
import { installCloseSave } from './estimateStore';
import { installFileFlows } from './files/install';
import { installEventBridge } from './platform';
import { applySettings } from './settings/settings';
import './styles/tokens.css';
import './styles/base.css';
import './shell/shell.css';
import './screens/screens.css';

// Preferences first, so the first frame already has the user's theme and density.
applySettings();
installEventBridge();
installCloseSave();
installFileFlows();
createRoot(document.getElementById('root')!).render(
  <StrictMode>
    <App />
  </StrictMode>,
);
