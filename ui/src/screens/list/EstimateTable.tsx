// The table of estimates: name (link to the editor), total, time of the last change, actions.

import type { EstimateSummary } from '../../model/types';
import { formatMoney } from '../../money/money';
import { Link } from '../../router/Link';
import { editorPath } from '../../router/router';
import { distinctNames } from './distinctNames';
import { listFileActions } from './fileActions';
import { formatStamp } from './stamp';

export interface EstimateTableProps {
  items: readonly EstimateSummary[];
  busyId: number | null;
  onDuplicate: (item: EstimateSummary) => void;
  onDelete: (item: EstimateSummary) => void;
}

export function EstimateTable({ items, busyId, onDuplicate, onDelete }: EstimateTableProps) {
  const names = distinctNames(items);
  return (
    <div className="panel table-panel">
      <table className="data-table" data-testid="estimate-table">
        <colgroup>
          <col />
          <col style={{ width: 112 }} />
          <col style={{ width: 148 }} />
          <col style={{ width: 240 }} />
        </colgroup>
        <thead>
          <tr>
            <th>Объект</th>
            <th className="num">Итого</th>
            <th>Обновлено</th>
            <th>Действия</th>
          </tr>
        </thead>
        <tbody>
          {items.map((item) => (
            <tr key={item.id} data-testid="estimate-row" data-id={item.id}>
              <td className="cell-name">
                <Link to={editorPath(item.id)} data-testid="estimate-link" title={item.object_name}>
                  {names.get(item.id)}
                </Link>
              </td>
              <td className="num" data-testid="estimate-total">
                {formatMoney(item.total)}
              </td>
              <td className="muted stamp" data-testid="estimate-updated">
                {formatStamp(item.updated_at)}
              </td>
              <td>
                <div className="row-actions">
                  {listFileActions.exportMenu ? (
                    listFileActions.exportMenu(item)
                  ) : (
                    <button type="button" className="btn btn-ghost" disabled data-testid="estimate-export">
                      Экспорт
                    </button>
                  )}
                  <button
                    type="button"
                    className="btn btn-ghost"
                    disabled={busyId === item.id}
                    onClick={() => onDuplicate(item)}
                    data-testid="estimate-duplicate"
                  >
                    Новый объект
                  </button>
                  <button
                    type="button"
                    className="btn btn-ghost btn-danger"
                    disabled={busyId === item.id}
                    onClick={() => onDelete(item)}
                    data-testid="estimate-delete"
                  >
                    Удалить
                  </button>
                </div>
              </td>
            </tr>
          ))}
        </tbody>
      </table>
    </div>
  );
}
