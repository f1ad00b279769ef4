// Page objects of the shell and its first screens, keyed on data-testid.
import { expect, type Locator, type Page } from '@playwright/test';

export { EditorPage } from './editor';

export class SideMenu {
  constructor(private readonly page: Page) {}
  get root(): Locator {
    return this.page.getByTestId('side-menu');
  }
  entry(name: 'estimates' | 'templates' | 'catalog' | 'help' | 'settings'): Locator {
    return this.page.getByTestId(`nav-${name}`);
  }
  async toggle(): Promise<void> {
    await this.page.getByTestId('menu-toggle').click();
  }
}

export class EstimateList {
  constructor(private readonly page: Page) {}
  async open(): Promise<void> {
    await new SideMenu(this.page).entry('estimates').click();
    await expect(this.page.getByTestId('screen-list')).toBeVisible();
  }
  get nameField(): Locator {
    return this.page.getByTestId('new-estimate-name');
  }
  get newButton(): Locator {
    return this.page.getByTestId('new-estimate');
  }
  get rows(): Locator {
    return this.page.getByTestId('estimate-row');
  }
  row(name: string): Locator {
    return this.rows.filter({ has: this.page.getByTestId('estimate-link').getByText(name, { exact: true }) });
  }
  get empty(): Locator {
    return this.page.getByTestId('empty-list');
  }
}

export class Templates {
  constructor(private readonly page: Page) {}
  async open(): Promise<void> {
    await new SideMenu(this.page).entry('templates').click();
    await expect(this.page.getByTestId('screen-templates')).toBeVisible();
  }
  card(id: string): Locator {
    return this.page.getByTestId(`template-${id}`);
  }
  async create(id: string): Promise<void> {
    await this.card(id).getByTestId('template-create').click();
  }
}

export class Help {
  constructor(private readonly page: Page) {}
  get search(): Locator {
    return this.page.getByTestId('help-search');
  }
  get topics(): Locator {
    return this.page.getByTestId('help-topic');
  }
  get noHits(): Locator {
    return this.page.getByTestId('help-no-hits');
  }
}

export class Dialog {
  constructor(private readonly page: Page) {}
  confirm(): Locator {
    return this.page.getByTestId('dialog-confirm');
  }
  async accept(): Promise<void> {
    await this.page.getByTestId('dialog-ok').click();
  }
  async cancel(): Promise<void> {
    await this.page.getByTestId('dialog-cancel').click();
  }
}
