// The name memory takes a line when the user is done with it: a name typed with pauses (each
// pause saves the estimate) reaches the catalog whole, once, and none of its prefixes do.
import { test, expect } from '../fixtures';
import { EditorPage, seedEstimate, storedLines } from '../pages/editor';
import { Catalog } from '../pages/screens';

test.describe.configure({ timeout: 120_000 });

interface Item {
  name: string;
  usage_count: number;
}

test('a name typed with pauses is remembered whole, once, when its row is left', async ({ page, host }) => {
  const id = await seedEstimate(host.invoke, 'Ванная', [{ name: 'Стяжка', unit: 'м²', quantity: 4, unit_price: 450 }]);
  await page.goto(`${host.origin}/editor/${id}`);
  const editor = new EditorPage(page);
  await editor.expectNames(['Стяжка', '']);

  const full = 'Демонтаж ванны чугунной';
  await editor.name(1).click();
  for (const word of ['Демонтаж', ' ванны', ' чугунной']) {
    await editor.name(1).pressSequentially(word);
    // A pause long enough for the autosave: the half-typed name reaches the database.
    const typed = (await editor.name(1).inputValue()).trim();
    await expect.poll(async () => (await storedLines(host.invoke, id)).map((l) => l.name)).toContain(typed);
  }
  const catalog = () => host.invoke<Item[]>('list_catalog', { query: 'Демонтаж' });
  expect((await catalog()).filter((i) => full.startsWith(i.name))).toEqual([]);

  // Moving to another row is being done with this one.
  await editor.name(0).click();
  await expect.poll(async () => (await catalog()).filter((i) => full.startsWith(i.name)).map((i) => [i.name, i.usage_count])).toEqual([[full, 1]]);
  // Entering and leaving it again counts nothing more, nor do further saves.
  // Suggestions for the row may arrive after a first Escape: close them until they stay closed.
  await expect(async () => {
    await editor.name(0).press('Escape');
    await expect(page.getByTestId('suggestions')).toHaveCount(0, { timeout: 1_000 });
  }).toPass({ timeout: 30_000 });
  await editor.name(1).click();
  await editor.name(1).press('Escape');
  await editor.name(0).click();
  await editor.name(0).press('Escape');
  await editor.qty(0).fill('5');
  await expect.poll(async () => (await storedLines(host.invoke, id))[0].quantity).toBe(5);
  await expect.poll(async () => (await storedLines(host.invoke, id))[1].catalog_item_id).not.toBeNull();

  const screen = new Catalog(page);
  await screen.open();
  await screen.search.fill('Демонтаж ванны');
  await expect(screen.row(full)).toHaveCount(1);
  await expect(screen.row('Демонтаж')).toHaveCount(0);
  await expect(screen.row('Демонтаж ванны')).toHaveCount(0);
  expect((await catalog()).filter((i) => i.name === full).map((i) => i.usage_count)).toEqual([1]);
});
