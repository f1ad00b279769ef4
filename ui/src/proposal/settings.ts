// The proposal's own settings, kept with the estimate as the JSON text `kp_json`: title,
// payment stages, logo and the token of a published link. Lines and prices are never kept
// here; they come from the estimate whenever the proposal is output.

export interface PaymentStage {
  title: string;
  amount: number;
  /** Keys written by other versions of the program travel along untouched. */
  [key: string]: unknown;
}

export interface ProposalSettings {
  title: string;
  stages: PaymentStage[];
  /** The logo as a data URL ("data:<mime>;base64,…"), or null. */
  logo_b64: string | null;
  /** The published link's identifier, or null when nothing is published. */
  token: string | null;
}

export const EMPTY_PROPOSAL: ProposalSettings = { title: '', stages: [], logo_b64: null, token: null };

function isStage(item: unknown): item is PaymentStage {
  if (typeof item !== 'object' || item === null || Array.isArray(item)) return false;
  const r = item as Record<string, unknown>;
  return typeof r.title === 'string' && typeof r.amount === 'number';
}

/** Reads `kp_json`; whatever cannot be read counts as not set, so a damaged text never blocks the panel. */
export function readProposalSettings(text: string | null | undefined): ProposalSettings {
  if (!text) return { ...EMPTY_PROPOSAL, stages: [] };
  let parsed: unknown;
  try {
    parsed = JSON.parse(text);
  } catch {
    return { ...EMPTY_PROPOSAL, stages: [] };
  }
  if (typeof parsed !== 'object' || parsed === null || Array.isArray(parsed)) return { ...EMPTY_PROPOSAL, stages: [] };
  const r = parsed as Record<string, unknown>;
  return {
    title: typeof r.title === 'string' ? r.title : '',
    stages: Array.isArray(r.stages) ? r.stages.filter(isStage).map((s) => ({ ...s })) : [],
    logo_b64: typeof r.logo_b64 === 'string' ? r.logo_b64 : null,
    token: typeof r.token === 'string' ? r.token : null,
  };
}

/** The JSON text stored in `kp_json`: keys title, stages, logo_b64, token in this order. */
export function writeProposalSettings(settings: ProposalSettings): string {
  return JSON.stringify({
    title: settings.title,
    stages: settings.stages.map(({ title, amount, ...rest }) => ({ title, amount, ...rest })),
    logo_b64: settings.logo_b64,
    token: settings.token,
  });
}
