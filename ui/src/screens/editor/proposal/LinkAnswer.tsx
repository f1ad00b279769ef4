// The customer's side of a published link: the address to send, the decision and the comments.

import { Check, Copy } from 'lucide-react';
import { useState } from 'react';
import { commentTexts, decisionText, type PollResult } from './linkService';

export function LinkAddress({ url }: { url: string }) {
  const [copied, setCopied] = useState(false);
  const copy = async () => {
    try {
      await navigator.clipboard.writeText(url);
      setCopied(true);
    } catch {
      setCopied(false);
    }
  };
  return (
    <div className="kp-link">
      <span className="kp-link-url" data-testid="proposal-link">
        {url}
      </span>
      <button type="button" className="btn" onClick={() => void copy()} data-testid="proposal-copy">
        {copied ? <Check strokeWidth={1.75} aria-hidden="true" /> : <Copy strokeWidth={1.75} aria-hidden="true" />}
        Копировать
      </button>
      <span className="kp-copied" role="status">
        {copied ? 'Скопировано' : ''}
      </span>
    </div>
  );
}

export function CustomerAnswer({ poll }: { poll: PollResult | null }) {
  const decision = decisionText(poll);
  const comments = commentTexts(poll);
  if (!decision && comments.length === 0) return null;
  const approved = (poll?.decision as { status?: unknown } | null)?.status;
  return (
    <div className="kp-answer">
      {decision && (
        <p className={`kp-decision kp-decision-${String(approved)}`} data-testid="proposal-decision">
          {decision}
        </p>
      )}
      {comments.length > 0 && (
        <ul className="kp-comments" aria-label="Комментарии заказчика">
          {comments.map((c, i) => (
            <li key={i} data-testid="proposal-comment">
              {c}
            </li>
          ))}
        </ul>
      )}
    </div>
  );
}
