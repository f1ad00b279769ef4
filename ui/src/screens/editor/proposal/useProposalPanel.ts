// The proposal panel's state while it is open: the settings being edited (saved into the
// estimate's kp_json), the published link, the last poll answer, the error and busy flag.

import { useCallback, useEffect, useMemo, useRef, useState } from 'react';
import type { Change } from '../../../estimateStore';
import type { EstimatePayload } from '../../../model/types';
import {
  buildSnapshot,
  linkErrorText,
  NO_PRINT_WINDOW,
  proposalHtml,
  readProposalSettings,
  stagesShortfall,
  writeProposalSettings,
  type EstimateSummary,
  type ProposalSettings,
} from '../../../proposal';
import { publishProposal, revokeProposal, type PollResult } from './linkService';
import { printInNewWindow, saveHtmlFile } from './proposalOutput';
import { usePolling } from './usePolling';
import { savedText } from '../../../files/savePlace';
import { printedTotalsRows } from '../../../totals/printRows';
import type { EstimateFigures } from '../totals/useEstimateTotals';

function failureText(e: unknown): string {
  return e instanceof Error ? e.message : String(e);
}

function initialSettings(data: EstimatePayload): ProposalSettings {
  const stored = readProposalSettings(data.estimate.kp_json);
  return { ...stored, title: stored.title || data.estimate.object_name };
}

/** The estimate's printed totals rows and grand total, which the proposal's total follows. */
function summaryOf(data: EstimatePayload, figures: EstimateFigures | undefined): EstimateSummary | undefined {
  if (!figures) return undefined;
  return { rows: printedTotalsRows(data.footer, figures.totals, figures.markup), grand: figures.totals.grand };
}

export function useProposalPanel(data: EstimatePayload, update: (change: Change) => void, figures?: EstimateFigures) {
  const [settings, setSettings] = useState(() => initialSettings(data));
  const [link, setLink] = useState('');
  const [error, setError] = useState('');
  const [notice, setNotice] = useState('');
  const [poll, setPoll] = useState<PollResult | null>(null);
  const [busy, setBusy] = useState(false);

  // Event handlers read the newest estimate and settings, not those of their render.
  const latest = useRef({ data, settings, figures });
  latest.current.data = data;
  latest.current.figures = figures;
  const current = () => latest.current.settings;
  const snapshot = () => {
    const s = current();
    return buildSnapshot(s.title, s.stages, latest.current.data, summaryOf(latest.current.data, latest.current.figures));
  };

  // Undo and redo change the stored settings under the open panel: it shows them again.
  const storedJson = data.estimate.kp_json;
  useEffect(() => {
    if (storedJson === writeProposalSettings(latest.current.settings)) return;
    latest.current.settings = initialSettings(latest.current.data);
    setSettings(latest.current.settings);
  }, [storedJson]);

  /** Changes the panel at once; the estimate gets it on the next save. */
  const edit = useCallback((change: Partial<ProposalSettings>) => {
    latest.current.settings = { ...latest.current.settings, ...change };
    setSettings(latest.current.settings);
  }, []);

  /**
   * Writes the panel's settings into the estimate, as one change, when they differ from the
   * stored ones. Every keystroke does, so closing, switching estimates or Ctrl+S lose nothing.
   */
  const save = useCallback(
    (change: Partial<ProposalSettings> = {}) => {
      edit(change);
      const text = writeProposalSettings(latest.current.settings);
      const { estimate } = latest.current.data;
      if (estimate.kp_json === text) return;
      // The store may already hold another estimate when a late answer arrives.
      update((d) => (d.estimate.id === estimate.id ? { ...d, estimate: { ...d.estimate, kp_json: text } } : d));
    },
    [edit, update],
  );

  const document = () => proposalHtml(snapshot(), current().logo_b64);

  const print = () => {
    setError('');
    if (!printInNewWindow(document(), current().title)) setError(NO_PRINT_WINDOW);
  };

  const saveHtml = async () => {
    setError('');
    setNotice('');
    try {
      const path = await saveHtmlFile(document(), current().title);
      if (path) setNotice(savedText(path));
    } catch (e) {
      setError(`Ошибка: ${failureText(e)}`);
    }
  };

  const publish = async () => {
    setBusy(true);
    setError('');
    try {
      const s = current();
      const published = await publishProposal(snapshot(), s.token);
      save({ token: published.token });
      setLink(published.url);
    } catch (e) {
      setError(linkErrorText(e));
    } finally {
      setBusy(false);
    }
  };

  const revoke = async () => {
    const token = current().token;
    if (!token) return;
    setBusy(true);
    setError('');
    try {
      await revokeProposal(token);
      save({ token: null });
      setLink('');
      setPoll(null);
    } catch (e) {
      setError(linkErrorText(e));
    } finally {
      setBusy(false);
    }
  };

  const onPoll = useCallback((answer: PollResult) => {
    setPoll(answer);
    if (answer.revoked) setLink('');
  }, []);
  usePolling(settings.token, onPoll);

  const shown = useMemo(() => buildSnapshot('', settings.stages, data, summaryOf(data, figures)), [settings.stages, data, figures]);
  return { settings, link, error, notice, poll, busy, edit, save, setError, print, saveHtml, publish, revoke, shortfall: stagesShortfall(shown), total: shown.total };
}
