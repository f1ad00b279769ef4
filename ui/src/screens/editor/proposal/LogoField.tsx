// "Логотип": an image file read as a data URL, at most 500 KB, with a small preview.

import { useId } from 'react';
import { LOGO_MAX_BYTES, LOGO_TOO_LARGE } from '../../../proposal';

function readAsDataUrl(file: File): Promise<string> {
  return new Promise((resolve, reject) => {
    const reader = new FileReader();
    reader.onload = () => resolve(String(reader.result));
    reader.onerror = () => reject(reader.error ?? new Error('файл не прочитан'));
    reader.readAsDataURL(file);
  });
}

interface Props {
  logo: string | null;
  onLogo: (dataUrl: string) => void;
  onError: (text: string) => void;
}

export function LogoField({ logo, onLogo, onError }: Props) {
  const id = useId();
  const choose = async (input: HTMLInputElement) => {
    const file = input.files?.[0];
    // The same file may be chosen again after a refusal.
    input.value = '';
    if (!file) return;
    if (file.size > LOGO_MAX_BYTES) {
      onError(LOGO_TOO_LARGE);
      return;
    }
    try {
      onLogo(await readAsDataUrl(file));
    } catch (e) {
      onError(`Ошибка: ${e instanceof Error ? e.message : String(e)}`);
    }
  };

  return (
    <div className="kp-field">
      <label htmlFor={id}>Логотип</label>
      <input
        id={id}
        type="file"
        accept="image/*"
        className="kp-file"
        data-testid="proposal-logo"
        onChange={(e) => void choose(e.currentTarget)}
      />
      {logo && <img className="kp-logo-preview" src={logo} alt="Логотип" data-testid="proposal-logo-preview" />}
    </div>
  );
}
