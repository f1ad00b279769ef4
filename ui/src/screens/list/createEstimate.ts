// New estimates from the list: named by the user (or "Новая смета"), from the default template.

import { navigate, editorPath } from '../../router/router';
import { readSettings } from '../../settings/settings';
import { createFromTemplate } from '../../templates/templates';

export const DEFAULT_ESTIMATE_NAME = 'Новая смета';
export const SAMPLE_ESTIMATE_NAME = 'Пример: отделка квартиры';

export function estimateName(typed: string): string {
  return typed.trim() || DEFAULT_ESTIMATE_NAME;
}

export async function createAndOpen(name: string, templateId = readSettings().defaultTemplate): Promise<void> {
  const created = await createFromTemplate(name, templateId);
  navigate(editorPath(created.estimate.id));
}
