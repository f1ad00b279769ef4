// The proposal document: its stored settings, its snapshot and its HTML.
export { readProposalSettings, writeProposalSettings, EMPTY_PROPOSAL, type ProposalSettings, type PaymentStage } from './settings';
export { buildSnapshot, stagesShortfall, type EstimateSummary, type ProposalSnapshot, type ProposalLine, type ProposalSummaryRow } from './snapshot';
export { proposalHtml, escapeHtml, DOCUMENT_STYLE } from './html';
export {
  printTitle,
  defaultHtmlName,
  withHtmlExtension,
  linkErrorText,
  NO_NETWORK,
  NO_PRINT_WINDOW,
  LOGO_TOO_LARGE,
  LOGO_MAX_BYTES,
} from './outputs';
