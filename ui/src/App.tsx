// The page: the shell around the screen that the address names.

import { DialogHost } from './platform/DialogHost';
import { matchRoute, usePath } from './router/router';
import { CatalogScreen } from './screens/catalog/CatalogScreen';
import { EditorScreen } from './screens/editor/EditorScreen';
import { SettingsScreen } from './screens/settings/SettingsScreen';
import { HelpScreen } from './screens/help/HelpScreen';
import { EstimateListScreen } from './screens/list/EstimateListScreen';
import { TemplatesScreen } from './screens/templates/TemplatesScreen';
import { Shell } from './shell/Shell';

function Screen({ path }: { path: string }) {
  const route = matchRoute(path);
  switch (route.screen) {
    case 'list':
      return <EstimateListScreen />;
    case 'editor':
      return <EditorScreen key={route.id} id={route.id} />;
    case 'templates':
      return <TemplatesScreen />;
    case 'help':
      return <HelpScreen />;
    case 'catalog':
      return <CatalogScreen />;
    case 'settings':
      return <SettingsScreen />;
    case 'missing':
      return <EstimateListScreen />;
  }
}

export function App() {
  const path = usePath();
  return (
    <>
      <Shell path={path}>
        <Screen path={path} />
      </Shell>
      <DialogHost />
    </>
  );
}
