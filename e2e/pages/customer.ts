// Page object of the customer's page of a published proposal (served by the link service).
import type { Locator, Page } from '@playwright/test';

export class CustomerPage {
  constructor(readonly page: Page) {}

  get decisionForm(): Locator {
    return this.page.locator('form').filter({ has: this.page.getByRole('button', { name: 'Согласовать' }) });
  }
  get commentForm(): Locator {
    return this.page.locator('form').filter({ has: this.page.getByRole('button', { name: 'Отправить' }) });
  }
  get notice(): Locator {
    return this.page.locator('.notice');
  }
  get comments(): Locator {
    return this.page.locator('.comments li');
  }

  async decide(name: string, button: 'Согласовать' | 'Отклонить'): Promise<void> {
    await this.decisionForm.getByLabel('Ваше имя', { exact: true }).fill(name);
    await this.decisionForm.getByRole('button', { name: button, exact: true }).click();
  }

  async comment(name: string, contact: string, body: string): Promise<void> {
    const form = this.commentForm;
    await form.getByLabel('Ваше имя', { exact: true }).fill(name);
    await form.getByLabel('Телефон или e-mail', { exact: true }).fill(contact);
    await form.getByLabel('Комментарий', { exact: true }).fill(body);
    await form.getByRole('button', { name: 'Отправить', exact: true }).click();
  }
}
