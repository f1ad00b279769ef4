// The proposal link commands as the panel uses them, and what it reads from a poll's answer.

import { invoke } from '../../../platform';
import type { ProposalSnapshot } from '../../../proposal';

export interface PublishedLink {
  token: string;
  url: string;
}

/** The service's answer to a poll; decision and comments come as the service sent them. */
export interface PollResult {
  ok?: boolean;
  revoked?: boolean;
  comments?: unknown;
  decision?: unknown;
}

export const POLL_INTERVAL_MS = 60_000;

export function publishProposal(snapshot: ProposalSnapshot, token: string | null): Promise<PublishedLink> {
  return invoke<PublishedLink>('proposal_publish', { snapshot, token });
}

export function revokeProposal(token: string): Promise<null> {
  return invoke<null>('proposal_revoke', { token });
}

export function pollProposal(token: string): Promise<PollResult> {
  return invoke<PollResult>('proposal_poll', { token });
}

const STATUS_TEXT: Record<string, string> = { approved: 'согласовано', rejected: 'отклонено' };

function text(value: unknown): string {
  return typeof value === 'string' ? value : value === undefined || value === null ? '' : String(value);
}

/** "Решение заказчика: согласовано (Имя)", or null when the answer holds no decision. */
export function decisionText(poll: PollResult | null): string | null {
  const d = poll?.decision;
  if (typeof d !== 'object' || d === null || Array.isArray(d)) return null;
  const { status, name } = d as Record<string, unknown>;
  const shown = STATUS_TEXT[text(status)] ?? text(status);
  const who = text(name);
  return `Решение заказчика: ${shown}${who ? ` (${who})` : ''}`;
}

/** One line per comment: "Имя (контакт): текст", "Гость" for a nameless one. */
export function commentTexts(poll: PollResult | null): string[] {
  const list = poll?.comments;
  if (!Array.isArray(list)) return [];
  return list.map((c: unknown) => {
    const r = typeof c === 'object' && c !== null ? (c as Record<string, unknown>) : {};
    const contact = text(r.contact);
    return `${text(r.name) || 'Гость'}${contact ? ` (${contact})` : ''}: ${text(r.body)}`;
  });
}
