// Page objects of the catalog, the settings and the file flows, keyed on data-testid.
import { expect, type Locator, type Page } from '@playwright/test';

/** The page's own open/save dialog (the browser build): a path field and two buttons. */
export class FileDialog {
  constructor(private readonly page: Page) {}
  get root(): Locator {
    return this.page.locator('[data-testid="dialog-open"], [data-testid="dialog-save"]');
  }
  get path(): Locator {
    return this.page.getByTestId('dialog-path');
  }
  /** Waits for the dialog, types the path over the proposed one and accepts. */
  async choose(path: string): Promise<void> {
    await expect(this.root).toBeVisible();
    await this.path.fill(path);
    await this.page.getByTestId('dialog-ok').click();
    await expect(this.root).toHaveCount(0);
  }
  async cancel(): Promise<void> {
    await expect(this.root).toBeVisible();
    await this.page.getByTestId('dialog-cancel').click();
  }
}

/** Message and confirmation boxes. */
export class MessageBox {
  constructor(private readonly page: Page) {}
  get alert(): Locator {
    return this.page.getByTestId('dialog-alert');
  }
  get confirm(): Locator {
    return this.page.getByTestId('dialog-confirm');
  }
  async ok(): Promise<void> {
    await this.page.getByTestId('dialog-ok').click();
  }
  async cancel(): Promise<void> {
    await this.page.getByTestId('dialog-cancel').click();
  }
}

export class Catalog {
  constructor(private readonly page: Page) {}
  async open(): Promise<void> {
    await this.page.getByTestId('nav-catalog').click();
    await expect(this.page.getByTestId('screen-catalog')).toBeVisible();
  }
  get search(): Locator {
    return this.page.getByTestId('catalog-search');
  }
  get typeFilter(): Locator {
    return this.page.getByTestId('catalog-type-filter');
  }
  get categoryFilter(): Locator {
    return this.page.getByTestId('catalog-category-filter');
  }
  get count(): Locator {
    return this.page.getByTestId('catalog-count');
  }
  get message(): Locator {
    return this.page.getByTestId('catalog-message');
  }
  get rows(): Locator {
    return this.page.getByTestId('catalog-row');
  }
  row(name: string): Locator {
    return this.rows.filter({ has: this.page.getByTestId('catalog-name').getByText(name, { exact: true }) });
  }
  get form(): Locator {
    return this.page.getByTestId('catalog-form');
  }
  button(name: 'add' | 'import' | 'export' | 'merge'): Locator {
    return this.page.getByTestId(`catalog-${name}`);
  }
}

export class Settings {
  constructor(private readonly page: Page) {}
  async open(): Promise<void> {
    await this.page.getByTestId('nav-settings').click();
    await expect(this.page.getByTestId('screen-settings')).toBeVisible();
  }
  async category(id: 'general' | 'mode' | 'editor' | 'table' | 'print' | 'data' | 'links'): Promise<Locator> {
    await this.page.getByTestId(`settings-category-${id}`).click();
    const panel = this.page.getByTestId(`settings-panel-${id}`);
    await expect(panel).toBeVisible();
    return panel;
  }
  get dataMessage(): Locator {
    return this.page.getByTestId('settings-data-message');
  }
}

export class ExportMenu {
  constructor(private readonly page: Page) {}
  get root(): Locator {
    return this.page.getByTestId('export-menu');
  }
  async choose(kind: 'xlsx' | 'pdf' | 'clcx' | 'csv'): Promise<void> {
    await this.page.getByTestId(`export-${kind}`).click();
  }
}
