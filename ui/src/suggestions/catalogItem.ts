// The catalog item record the suggestions exchange with the native side.
export type { CatalogItem } from '../model/types';
