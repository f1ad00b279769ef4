// Asks the link service for the customer's answer while a link is published: at once (and
// whenever the token changes), each time the window gains focus, and every minute.

import { useEffect } from 'react';
import { pollProposal, POLL_INTERVAL_MS, type PollResult } from './linkService';

export function usePolling(token: string | null, onAnswer: (answer: PollResult) => void): void {
  useEffect(() => {
    if (!token) return;
    let live = true;
    const poll = () => {
      pollProposal(token).then(
        (answer) => {
          // An answer for a token that has since changed or a panel that has closed is stale.
          if (live) onAnswer(answer);
        },
        // A failed poll changes nothing and shows nothing: the next one may get through.
        () => undefined,
      );
    };
    poll();
    const timer = window.setInterval(poll, POLL_INTERVAL_MS);
    window.addEventListener('focus', poll);
    return () => {
      live = false;
      window.clearInterval(timer);
      window.removeEventListener('focus', poll);
    };
  }, [token, onAnswer]);
}
