-- A file written by a newer program: schema version 12 with a table this build does not know.
CREATE TABLE future_things (id INTEGER PRIMARY KEY, what TEXT);
INSERT INTO future_things (what) VALUES ('from the future');
PRAGMA user_version = 12;
