import { DialogHost } from './platform/DialogHost';
import { StartScreen } from './screens/StartScreen';

export function App() {
  return (
    <>
      <StartScreen />
      <DialogHost />
    </>
  );
}
