// React binding of the estimate store.
import { useSyncExternalStore } from 'react';
import { estimateStore, type EstimateStore, type StoreSnapshot } from './store';

export function useEstimateStore(store: EstimateStore = estimateStore): StoreSnapshot {
  return useSyncExternalStore(store.subscribe, store.getSnapshot);
}
