// Joins the reply of a save with what the page holds now: the user may have typed while
// the save ran, and those edits must survive.

import { isBlankName, newEmptyLine, renumber, type EstimatePayload } from '../model/types';

export function mergeSaveReply(current: EstimatePayload, reply: EstimatePayload): EstimatePayload {
  const id = reply.estimate.id;
  const estimate = {
    ...current.estimate,
    id,
    created_at: reply.estimate.created_at,
    updated_at: reply.estimate.updated_at,
  };
  if (current.lines.length === 0) {
    const lines = reply.lines.length > 0 ? reply.lines : [newEmptyLine(id, 0)];
    return { estimate, lines: renumber(lines.map((l) => ({ ...l, estimate_id: id }))), footer: current.footer };
  }
  // The reply's lines match, in order, the page's lines that have a name (blank ones were not sent).
  // Lines inserted while the save ran shift that match; an id that a line already holds is
  // therefore never handed to a second line, so two lines can never share one id.
  const taken = new Set(current.lines.map((l) => l.id).filter((v): v is number => typeof v === 'number'));
  let next = 0;
  // A line the reply changes nothing in stays the same object, so the grid redraws only what changed.
  const lines = current.lines.map((line) => {
    const base = line.estimate_id === id ? line : { ...line, estimate_id: id };
    if (isBlankName(line)) return base;
    const counterpart = reply.lines[next++];
    if (!counterpart) return base;
    let merged = base;
    if (line.id == null && counterpart.id != null && !taken.has(counterpart.id)) {
      merged = { ...merged, id: counterpart.id };
      taken.add(counterpart.id);
    }
    if (line.catalog_item_id == null && counterpart.catalog_item_id != null) merged = { ...merged, catalog_item_id: counterpart.catalog_item_id };
    return merged;
  });
  return { estimate, lines: renumber(lines), footer: current.footer };
}

/** The payload a save sends: named lines only, numbered 0, 1, 2, … . */
export function savePayload(data: EstimatePayload): EstimatePayload {
  return { estimate: data.estimate, lines: renumber(data.lines.filter((l) => !isBlankName(l))), footer: data.footer };
}
