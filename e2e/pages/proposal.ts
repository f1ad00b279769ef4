// Page object of the proposal panel, and an estimate with the proposal switched on.
import { expect, type Locator, type Page } from '@playwright/test';
import type { Host } from '../fixtures';

export interface KpLine {
  name: string;
  line_type?: string;
  unit?: string;
  quantity?: number;
  unit_price?: number;
  fixed_total?: number;
  category?: string;
}

const PRIVATE_MASK = '{"skuCost":true,"calculators":true,"proposal":true,"governmentEngine":false}';

/** A saved estimate in the mode "Частный" (it has the proposal) with these lines and kp_json. */
export async function seedProposalEstimate(host: Host, objectName: string, lines: KpLine[], kp: object | null = null): Promise<number> {
  const created = await host.invoke<{ estimate: Record<string, unknown>; lines: unknown[]; footer: object }>('create_estimate', {
    objectName,
  });
  const id = created.estimate.id as number;
  const payload = {
    ...created,
    estimate: { ...created.estimate, mode: 'private', mode_mask_json: PRIVATE_MASK, kp_json: kp && JSON.stringify(kp) },
    lines: lines.map((l, i) => ({ estimate_id: id, sort_order: i, line_type: 'full', category: 'work', ...l })),
  };
  await host.invoke('save_estimate', { payload });
  return id;
}

export class ProposalPanel {
  constructor(private readonly page: Page) {}

  get root(): Locator {
    return this.page.getByTestId('proposal-panel');
  }
  get title(): Locator {
    return this.root.getByLabel('Заголовок', { exact: true });
  }
  get logo(): Locator {
    return this.root.getByLabel('Логотип', { exact: true });
  }
  get logoPreview(): Locator {
    return this.page.getByTestId('proposal-logo-preview');
  }
  button(name: string): Locator {
    return this.root.getByRole('button', { name, exact: true });
  }
  get link(): Locator {
    return this.page.getByTestId('proposal-link');
  }
  get error(): Locator {
    return this.page.getByTestId('proposal-error');
  }
  get decision(): Locator {
    return this.page.getByTestId('proposal-decision');
  }
  get comments(): Locator {
    return this.page.getByTestId('proposal-comment');
  }
  get stages(): Locator {
    return this.page.getByTestId('proposal-stage');
  }

  /** Opens the editor of the estimate and the panel with the toolbar's "КП". */
  async open(host: Host, id: number): Promise<void> {
    await this.page.goto(`${host.origin}/editor/${id}`);
    await this.page.getByRole('button', { name: 'КП', exact: true }).click();
    await expect(this.root).toBeVisible();
  }

  async toggle(): Promise<void> {
    await this.page.getByRole('button', { name: 'КП', exact: true }).click();
  }

  /** The window gains focus: the panel asks the service again. */
  async focusWindow(): Promise<void> {
    await this.page.evaluate(() => window.dispatchEvent(new Event('focus')));
  }
}
