// The program's version as shown to the user.
export const APP_VERSION = '0.2.0';
