-- Run after each demo database's data: Commence keeps scripts and definition
-- lines with CR LF line ends, while the data files are written with LF (a
-- checkout that turned them into CR LF is handled too).
UPDATE forms
   SET script = CAST(replace(replace(CAST(script AS TEXT), char(13), ''), char(10), char(13, 10)) AS BLOB)
 WHERE script IS NOT NULL;
UPDATE fields
   SET definition = replace(replace(definition, char(13), ''), char(10), char(13, 10));
