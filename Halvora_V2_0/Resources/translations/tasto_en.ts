<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>Apri e chiudi la notch</source>
        <translation>Open and close the notch</translation>
    </message>
</context>
</TS>
