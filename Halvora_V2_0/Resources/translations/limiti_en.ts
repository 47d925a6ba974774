<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>Il calendario non risponde.</source>
        <translation>The calendar is not responding.</translation>
    </message>
    <message>
        <source>Impossibile riprodurre il memo.</source>
        <translation>The memo cannot be played.</translation>
    </message>
    <message>
        <source>Promemoria messi da parte</source>
        <translation>Reminders set aside</translation>
    </message>
    <message>
        <source>Non salvata: %1</source>
        <translation>Not saved: %1</translation>
    </message>
</context>
</TS>
