// The toolbar's "Экспорт": the shared export menu for the open estimate. Its failures go to
// the editor's error line; an export of the open estimate saves pending edits first.

import { ExportChoiceMenu } from '../../files/ExportChoiceMenu';

export interface ExportMenuProps {
  estimateId: number;
  objectName: string;
  onError: (text: string) => void;
  onSaved: (path: string) => void;
}

export function ExportMenu({ estimateId, objectName, onError, onSaved }: ExportMenuProps) {
  return <ExportChoiceMenu estimateId={estimateId} objectName={objectName} className="btn tool" onError={onError} onStart={() => onError('')} onSaved={onSaved} />;
}
