// The editor's layout: toolbar, error line, proposal place, body (grid with the row of buttons
// under it and the formula bar place; calculators place; totals place) and status bar.

import { ChevronLeft } from 'lucide-react';
import { useCallback, useMemo, useRef, useState, type CSSProperties, type ReactNode } from 'react';
import { maskInForce, maskJson, type Change, type EstimateStore, type Mode, type StoreSnapshot } from '../../estimateStore';
import { shownColumns } from '../../grid/columns';
import { hitLabel } from '../../grid/search';
import { shownFormat } from '../../grid/lineEdits';
import type { EstimatePayload } from '../../model/types';
import { formatMoney } from '../../money/money';
import { useSettings } from '../../settings/useSettings';
import { ColumnDialog } from './ColumnDialog';
import { editorSlots } from './editorSlots';
import { ExportMenu } from './ExportMenu';
import { useFileDrop } from '../../files/useFileDrop';
import { savedText } from '../../files/savePlace';
import { Grid } from './grid/Grid';
import { pasteRefusedText } from './grid/NumberCell';
import { RowMenu } from './grid/RowMenu';
import { useGridController } from './grid/useGridController';
import { printEstimate } from './print';
import { PrintTotals } from './PrintTotals';
import { CalculatorsPanel } from './calculators/CalculatorsPanel';
import { FormulaBar } from './calculators/FormulaBar';
import { ItemDialogHost, useItemDialog } from './suggestions/ItemDialogHost';
import { TotalsPanel } from './totals/TotalsPanel';
import { useEstimateTotals } from './totals/useEstimateTotals';
import { StatusBar } from './StatusBar';
import { EditGroup, ModeGroup, RowsGroup } from './toolbar/EditGroups';
import { FormatGroups } from './toolbar/FormatGroups';
import { Toolbar } from './toolbar/Toolbar';
import { useEditorKeys } from './useEditorKeys';
import { useTableView } from './useTableView';

export interface EditorViewProps {
  data: EstimatePayload;
  snapshot: StoreSnapshot;
  store: EstimateStore;
}

export function EditorView({ data, snapshot, store }: EditorViewProps) {
  const settings = useSettings();
  const view = useTableView();
  const [localError, setLocalErrorState] = useState('');
  // "Сохранено: …" after a file was written; any later message replaces it.
  const [notice, setNotice] = useState('');
  const setLocalError = useCallback((text: string) => {
    setLocalErrorState(text);
    setNotice('');
  }, []);
  useFileDrop(setLocalError);
  const [proposalOpen, setProposalOpen] = useState(false);
  const [columnsOpen, setColumnsOpen] = useState(false);
  const searchRef = useRef<HTMLInputElement>(null);
  const itemDialog = useItemDialog(data);
  const grid = useGridController(store, data, { onEditItem: itemDialog.open, onPasteRefused: (cells) => setLocalError(pasteRefusedText(cells)) });
  const figures = useEstimateTotals(data);
  const { totals } = figures;

  const mask = maskInForce(data.estimate.mode, data.estimate.mode_mask_json);
  const columns = useMemo(() => shownColumns(view.columns, mask.skuCost), [view.columns, mask.skuCost]);
  const currentLine = data.lines[grid.current.row];
  // The toolbar, status bar and totals fields are kept from re-rendering on every keystroke in
  // the grid: each re-rendered input has all its properties written back to the document.
  const formatJson = currentLine?.format_json;
  const nameBold = currentLine?.name_bold;
  const format = useMemo(
    () => shownFormat(currentLine, { font: settings.defaultFont, size: settings.defaultFontSize }),
    // eslint-disable-next-line react-hooks/exhaustive-deps -- the format reads only these two fields of the line
    [formatJson, nameBold, settings.defaultFont, settings.defaultFontSize],
  );
  const label = hitLabel(grid.search, grid.hits.length, grid.hitIndex);

  const undo = useCallback(() => store.undo(), [store]);
  const redo = useCallback(() => store.redo(), [store]);
  const find = useCallback(() => {
    searchRef.current?.focus();
    searchRef.current?.select();
  }, []);
  useEditorKeys({ grid, undo, redo, find });

  const setMode = useCallback(
    (mode: Exclude<Mode, 'custom'>) => store.update((d) => ({ ...d, estimate: { ...d.estimate, mode, mode_mask_json: maskJson(mode) } })),
    [store],
  );
  const setObjectName = useCallback((name: string) => store.update((d) => ({ ...d, estimate: { ...d.estimate, object_name: name } })), [store]);
  const slotProps = { data, store, currentRow: grid.current.row, figures };
  const objectName = data.estimate.object_name;
  const estimateId = data.estimate.id;
  const print = useCallback(() => printEstimate(objectName), [objectName]);
  const exportMenu = useMemo(() => <ExportMenu estimateId={estimateId} objectName={objectName} onError={setLocalError} onSaved={(path) => setNotice(savedText(path))} />, [estimateId, objectName, setLocalError]);
  const toggleProposal = useMemo(() => (mask.proposal ? () => setProposalOpen((o) => !o) : undefined), [mask.proposal]);
  const updateFooter = useCallback((change: Change) => store.update(change), [store]);
  const setTotalsHidden = view.setTotalsHidden;
  const hideTotals = useCallback(() => setTotalsHidden(true), [setTotalsHidden]);
  const rememberPrices = useCallback(() => store.rememberPrices(), [store]);
  const noLines = data.lines.length === 0;

  const groups: ReactNode = useMemo(() => (
    <>
      <ModeGroup mode={data.estimate.mode} onMode={setMode} />
      <EditGroup
        canUndo={snapshot.canUndo}
        canRedo={snapshot.canRedo}
        onUndo={undo}
        onRedo={redo}
        search={grid.search}
        onSearch={grid.setSearch}
        onNextHit={grid.nextHit}
        label={label}
        searchRef={searchRef}
      />
      <RowsGroup filter={grid.filter} onFilter={grid.setFilter} />
      <FormatGroups shown={format} disabled={noLines} onFormat={grid.applyFormat} />
    </>
  ), [data.estimate.mode, setMode, snapshot.canUndo, snapshot.canRedo, undo, redo, grid.search, grid.setSearch, grid.nextHit, label, grid.filter, grid.setFilter, format, noLines, grid.applyFormat]);

  return (
    <section className="screen editor-screen" data-testid="screen-editor">
      <Toolbar
        objectName={objectName}
        onObjectName={setObjectName}
        saving={snapshot.saving}
        groups={groups}
        onAddSection={grid.addSection}
        onPrint={print}
        exportMenu={exportMenu}
        onToggleProposal={toggleProposal}
        proposalOpen={proposalOpen}
      />
      {(snapshot.error || localError) && (
        <div className="error-line editor-error" role="alert" data-testid="editor-error">
          {snapshot.error || localError}
        </div>
      )}
      {notice && !snapshot.error && !localError && (
        <div className="notice-line editor-notice" role="status" data-testid="editor-notice">
          {notice}
        </div>
      )}
      {proposalOpen && mask.proposal && editorSlots.proposal?.({ ...slotProps, onClose: () => setProposalOpen(false) })}
      <div className="editor-body" style={{ '--table-rows': Math.min(data.lines.length, 5) } as CSSProperties}>
        <div className="grid-column">
          <h1 className="print-only print-heading">{data.estimate.object_name}</h1>
          <Grid lines={data.lines} columns={columns} zoom={view.zoom} grid={grid} onResize={view.resizeLive} onResizeEnd={view.resizeEnd} />
          <PrintTotals footer={data.footer} figures={figures} />
          <div className="under-grid">
            <button type="button" className="btn" onClick={grid.appendAndEdit} data-testid="add-line">
              + Добавить позицию
            </button>
            <button type="button" className="btn btn-ghost" onClick={() => setColumnsOpen(true)} data-testid="columns-open">
              Колонки…
            </button>
            <span className="toolbar-spacer" />
            {view.totalsHidden && (
              <button type="button" className="btn totals-show" title="Показать итоги" onClick={() => view.setTotalsHidden(false)} data-testid="totals-show">
                <ChevronLeft strokeWidth={1.75} />
                Итог <strong>{formatMoney(totals.grand)}</strong>
              </button>
            )}
          </div>
          {mask.calculators && <FormulaBar lines={data.lines} currentIndex={grid.current.row} onFormula={(row, formula) => store.updateLines((ls) => ls.map((l, i) => (i === row ? { ...l, formula } : l)))} />}
        </div>
        <div className="side-panels">
          {mask.calculators && <CalculatorsPanel calcParamsJson={data.estimate.calc_params_json} onChange={(json) => store.setCalcParams(json)} />}
          {!view.totalsHidden &&
            <TotalsPanel data={data} figures={figures} update={updateFooter} onHide={hideTotals} rememberPrices={rememberPrices} />}
        </div>
      </div>
      <StatusBar saving={snapshot.saving} zoom={view.zoom} onZoom={view.setZoom} />
      {grid.menu && (
        <RowMenu
          x={grid.menu.x}
          y={grid.menu.y}
          onDuplicate={() => grid.duplicate(grid.menu!.row)}
          onInsertAbove={() => grid.insertAt(grid.menu!.row)}
          onInsertBelow={() => grid.insertAt(grid.menu!.row + 1)}
          onCopy={() => grid.copyRow(grid.menu!.row, true)}
          onClose={grid.closeMenu}
        />
      )}
      <ItemDialogHost dialog={itemDialog} store={store} />
      {columnsOpen && <ColumnDialog columns={view.columns} onChange={view.setColumns} onClose={() => setColumnsOpen(false)} />}
    </section>
  );
}
