// An update page: every channel's stories in a bound table, newest first, and the client's
// news as it arrives.
function chanbind::OnReadyStateChange(state) { document.writeln("(ready state " + state + ")"); }
function chanbind::OnNewStory(row) { document.writeln("new story in row " + row); }
document.writeln("Channels: " + chanbind.ChannelCount);
for (var i = 0; i < chanbind.ChannelCount; ++i) document.writeln("  " + chanbind.Channel(i).Name);
chanbind.Sort = "-Story Time";
host.bind("");
host.pump(500);
document.writeln("Stories:");
host.table("Title,Story Time,CHANNEL,UNREAD,TYPE");
document.writeln("What the binding heard:");
host.record();
